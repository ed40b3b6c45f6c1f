#pragma once
// The AT-SPI backend is a module of its own (tildo-atspi.so), opened by tildo-ax-accesibilidad
// on first use of the accessibility or workspace port: libatspi, GLib and D-Bus then load only
// for the commands that reach the bus. The module takes the C++ runtime and the shared code
// (tildo_common, the X11 window code) from that program, which exports them.

#include <memory>

#include "desktop/accesibilidad.h"

namespace tildo {

class ConexionX11;
class ServidorVentanas;
class VentanasDeAplicacion;

struct PuertosAtspi {
  std::unique_ptr<Accesibilidad> accesibilidad;
  std::unique_ptr<Espacio> espacio;
};

// The module's one entry point, looked up by its name: the ports on the program's display and
// window source, which must outlive them.
extern "C" void puertosAtspi(ConexionX11& conexion, ServidorVentanas& servidor,
                             VentanasDeAplicacion* ventanas, PuertosAtspi& puertos);

}  // namespace tildo
