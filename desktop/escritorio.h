#pragma once
// The desktop a command works on: the real one or a simulated one described in JSON. Each
// port is reached on first use, so a command pays only for what it touches.

#include <memory>

#include "desktop/accesibilidad.h"
#include "desktop/entrada.h"
#include "desktop/pantallas.h"

namespace tildo {

class Escritorio {
 public:
  virtual ~Escritorio() = default;
  // Fails the command (Fallo) when the desktop cannot take input.
  virtual Entrada& entrada() = 0;
  // Fails the command when the desktop's screens cannot be reached.
  virtual Pantallas& pantallas() = 0;
  // Elements of running applications, and the applications themselves.
  virtual Accesibilidad& accesibilidad() = 0;
  virtual Espacio& espacio() = 0;
};

// The simulated desktop when TILDO_ESCRITORIO names a description, else the Wayland
// compositor when it lets clients post input, else the X display. `conBus`: the command
// reaches the accessibility bus (elements or applications).
std::unique_ptr<Escritorio> abrirEscritorio(bool conBus);

}  // namespace tildo
