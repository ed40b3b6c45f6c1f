#include "desktop/atspi/puertos_atspi.h"

#include "desktop/atspi/accesibilidad_atspi.h"
#include "desktop/atspi/espacio_linux.h"

namespace tildo {

PuertosAtspi abrirPuertosAtspi(std::unique_ptr<SistemaDeVentanas> sistema,
                               FuenteDeVentanas* ventanas) {
  PuertosAtspi puertos;
  puertos.accesibilidad = std::make_unique<AccesibilidadAtspi>(*sistema, ventanas);
  puertos.espacio = std::make_unique<EspacioLinux>(*sistema, ventanas);
  puertos.sistema = std::move(sistema);
  return puertos;
}

}  // namespace tildo
