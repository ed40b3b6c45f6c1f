#pragma once
// The AT-SPI ports, linked into tildo-ax-accesibilidad only: libdbus then loads only for the
// commands that reach the bus. They run beside whichever window system the program reaches, X
// or a Wayland compositor.

#include <memory>

#include "desktop/accesibilidad.h"
#include "desktop/fuente_ventanas.h"
#include "desktop/sistema_de_ventanas.h"

namespace tildo {

struct PuertosAtspi {
  std::unique_ptr<Accesibilidad> accesibilidad;
  std::unique_ptr<Espacio> espacio;
  // The window system the ports ask, kept as long as they are.
  std::unique_ptr<SistemaDeVentanas> sistema;
};

// The ports on the window system, which they then keep, and the window source, which must
// outlive them.
PuertosAtspi abrirPuertosAtspi(std::unique_ptr<SistemaDeVentanas> sistema,
                               FuenteDeVentanas* ventanas);

}  // namespace tildo
