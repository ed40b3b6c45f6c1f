#include "desktop/atspi/modulo.h"

#include "desktop/atspi/accesibilidad_atspi.h"
#include "desktop/atspi/espacio_linux.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {

extern "C" void puertosAtspi(ConexionX11& conexion, ServidorVentanas& servidor,
                             VentanasDeAplicacion* ventanas, PuertosAtspi& puertos) {
  puertos.accesibilidad = std::make_unique<AccesibilidadAtspi>(conexion, servidor, ventanas);
  puertos.espacio = std::make_unique<EspacioLinux>(conexion, servidor, ventanas);
}

}  // namespace tildo
