#pragma once
// The one connection to the X display a run uses, opened on first use. Nothing Xlib says
// reaches standard error: protocol errors are counted, not printed.

#include <X11/Xlib.h>

#include "desktop/entrada.h"

namespace tildo {

class ConexionX11 {
 public:
  ConexionX11() = default;
  ~ConexionX11();
  ConexionX11(const ConexionX11&) = delete;
  ConexionX11& operator=(const ConexionX11&) = delete;

  // The display, or nullptr when none can be opened.
  Display* pantalla();
  // The primary monitor's top-left corner in the root window: global points are measured
  // from there.
  Punto origenPrincipal();
  // Protocol errors seen since the connection opened.
  static unsigned long errores();

 private:
  Display* pantalla_ = nullptr;
  bool intentada_ = false;
  bool origenLeido_ = false;
  Punto origen_;
};

}  // namespace tildo
