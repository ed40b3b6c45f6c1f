#pragma once
// The AT-SPI backend is a module of its own (tildo-atspi.so), opened by tildo-ax-accesibilidad
// on first use of the accessibility or workspace port: libatspi, GLib and D-Bus then load only
// for the commands that reach the bus. The module takes the C++ runtime and the shared code
// (tildo_common, the X11 window code) from that program, which exports them. It runs beside
// whichever window system the program reaches, X or a Wayland compositor.

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

// The module's one entry point, looked up by its name: the ports on the window system and
// window source given, which must outlive them.
extern "C" void puertosAtspi(SistemaDeVentanas& sistema, FuenteDeVentanas* ventanas,
                             PuertosAtspi& puertos);

// Opens the module beside the running program and makes its ports on the window system, which
// they then keep. Fails the command when the module cannot be loaded.
PuertosAtspi abrirModuloAtspi(std::unique_ptr<SistemaDeVentanas> sistema,
                              FuenteDeVentanas* ventanas);

}  // namespace tildo
