#include "desktop/atspi/modulo.h"

#include "desktop/atspi/accesibilidad_atspi.h"
#include "desktop/atspi/espacio_linux.h"

namespace tildo {

extern "C" void puertosAtspi(SistemaDeVentanas& sistema, FuenteDeVentanas* ventanas,
                             PuertosAtspi& puertos) {
  puertos.accesibilidad = std::make_unique<AccesibilidadAtspi>(sistema, ventanas);
  puertos.espacio = std::make_unique<EspacioLinux>(sistema, ventanas);
}

}  // namespace tildo
