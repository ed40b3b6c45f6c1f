// The X display's desktop with the AT-SPI backend linked in: tildo-ax-accesibilidad, the program
// that runs the commands reaching the bus.

#include "desktop/atspi/puertos_atspi.h"
#include "desktop/linux/escritorio_linux.h"
#include "desktop/x11/conexion.h"
#include "desktop/x11/sistema_x11.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {
namespace {

PuertosAtspi puertosEnX11(ConexionX11& conexion, ServidorVentanas& servidor,
                          VentanasDeAplicacion* ventanas) {
  return abrirPuertosAtspi(std::make_unique<SistemaX11>(conexion, servidor), ventanas);
}

}  // namespace

std::unique_ptr<Escritorio> escritorioX11(bool) {
  return std::make_unique<EscritorioLinux>(std::make_unique<ConexionX11>(), puertosEnX11);
}

}  // namespace tildo
