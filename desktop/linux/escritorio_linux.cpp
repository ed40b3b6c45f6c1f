#include "desktop/linux/escritorio_linux.h"

#include "common/fallo.h"
#include "desktop/atspi/puertos_atspi.h"
#include "desktop/x11/conexion.h"
#include "desktop/x11/entrada_x11.h"
#include "desktop/x11/pantallas_x11.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {

EscritorioLinux::EscritorioLinux(std::unique_ptr<ConexionX11> conexion, FabricaAtspi atspi)
    : conexion_(std::move(conexion)), fabricaAtspi_(atspi) {}

EscritorioLinux::~EscritorioLinux() = default;

Entrada& EscritorioLinux::entrada() {
  if (!entrada_) entrada_ = std::make_unique<EntradaX11>(*conexion_);
  return *entrada_;
}

Pantallas& EscritorioLinux::pantallas() {
  // Owners are named by their program, as the workspace names the applications the
  // accessibility bus does not: reaching the bus would cost the list more than it tells.
  if (!pantallas_)
    pantallas_ = std::make_unique<PantallasX11>(*conexion_, servidor(), nombreDeProceso);
  return *pantallas_;
}

// Elements come from the AT-SPI bus; an application's windows from the window manager, so
// that they can be moved and minimised.
Accesibilidad& EscritorioLinux::accesibilidad() {
  return *atspi().accesibilidad;
}

Espacio& EscritorioLinux::espacio() {
  return *atspi().espacio;
}

PuertosAtspi& EscritorioLinux::atspi() {
  // The command table says which commands reach the bus, and those never run here without it.
  if (!fabricaAtspi_) fallo("error interno: esta orden no debía llegar al bus de accesibilidad");
  if (!atspi_)
    atspi_ = std::make_unique<PuertosAtspi>(fabricaAtspi_(*conexion_, servidor(), &ventanas()));
  return *atspi_;
}

VentanasDeAplicacion& EscritorioLinux::ventanas() {
  if (!ventanas_) ventanas_ = std::make_unique<VentanasDeAplicacion>(servidor());
  return *ventanas_;
}

ServidorVentanas& EscritorioLinux::servidor() {
  if (!conexion_->pantalla()) ConexionX11::inalcanzable();
  if (!servidor_) servidor_ = std::make_unique<ServidorVentanas>(*conexion_);
  return *servidor_;
}

}  // namespace tildo
