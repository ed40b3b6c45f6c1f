#include "desktop/linux/escritorio_linux.h"

#include "common/fallo.h"
#include "desktop/atspi/modulo.h"
#include "desktop/x11/conexion.h"
#include "desktop/x11/entrada_x11.h"
#include "desktop/x11/pantallas_x11.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {

EscritorioLinux::EscritorioLinux(std::unique_ptr<ConexionX11> conexion)
    : conexion_(std::move(conexion)) {}

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
  if (!atspi_)
    atspi_ = std::make_unique<PuertosAtspi>(abrirAtspi(
        *conexion_, [this]() -> ServidorVentanas& { return servidor(); },
        [this] { return &ventanas(); }));
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
