#include "desktop/wayland/escritorio_wayland.h"

#include "desktop/wayland/conexion_wayland.h"
#include "desktop/wayland/entrada_wayland.h"
#include "desktop/wayland/pantallas_wayland.h"
#include "desktop/wayland/sway.h"
#include "desktop/wayland/ventanas_ajenas.h"
#include "desktop/wayland/ventanas_wayland.h"

namespace tildo {

std::unique_ptr<Escritorio> escritorioWayland() {
  auto conexion = ConexionWayland::conectar();
  if (!conexion || !conexion->admiteEntrada()) return nullptr;
  return std::make_unique<EscritorioWayland>(std::move(conexion));
}

EscritorioWayland::EscritorioWayland(std::unique_ptr<ConexionWayland> conexion)
    : conexion_(std::move(conexion)) {}

// Input goes first: its destructor waits for the compositor to have every event.
EscritorioWayland::~EscritorioWayland() {
  entrada_.reset();
}

Entrada& EscritorioWayland::entrada() {
  if (!entrada_) entrada_ = std::make_unique<EntradaWayland>(*conexion_);
  return *entrada_;
}

VentanasCompositor* EscritorioWayland::ventanas() {
  if (!ventanasIntentadas_) {
    ventanasIntentadas_ = true;
    sway_ = Sway::conectar();
    if (sway_)
      ventanas_ = std::make_unique<VentanasSway>(*sway_, *conexion_);
    else
      ventanas_ = VentanasAjenas::abrir(*conexion_);
  }
  return ventanas_.get();
}

Pantallas& EscritorioWayland::pantallas() {
  if (!pantallas_) {
    auto* v = ventanas();
    pantallas_ = std::make_unique<PantallasWayland>(*conexion_, sway_.get(), v);
  }
  return *pantallas_;
}

Accesibilidad& EscritorioWayland::accesibilidad() {
  if (!accesibilidad_) accesibilidad_ = std::make_unique<AccesibilidadWayland>(ventanas());
  return *accesibilidad_;
}

Espacio& EscritorioWayland::espacio() {
  if (!espacio_) espacio_ = std::make_unique<EspacioWayland>(ventanas());
  return *espacio_;
}

}  // namespace tildo
