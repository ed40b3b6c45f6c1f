#include "desktop/wayland/escritorio_wayland.h"

#include "desktop/atspi/puertos_atspi.h"
#include "desktop/wayland/conexion_wayland.h"
#include "desktop/wayland/entrada_wayland.h"
#include "desktop/wayland/pantallas_wayland.h"
#include "desktop/wayland/sistema_wayland.h"
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
  return *atspi().accesibilidad;
}

Espacio& EscritorioWayland::espacio() {
  return *atspi().espacio;
}

PuertosAtspi& EscritorioWayland::atspi() {
  if (!atspi_)
    atspi_ = std::make_unique<PuertosAtspi>(
        abrirPuertosAtspi(std::make_unique<SistemaWayland>(ventanas()), ventanas()));
  return *atspi_;
}

}  // namespace tildo
