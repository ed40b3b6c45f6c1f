#pragma once
// The window server and screen services: the main display, the screens, the pointer location,
// the window list, the system version and the screen-capture permission.
//
// Conventions follow the platform: the main display's bounds and the window list are in
// global points with the origin at the top-left of the main display and y downward; screen
// frames and the pointer location are in the screen service's space, origin at the
// bottom-left of the first screen and y upward.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/accesibilidad.h"

namespace tildo {

struct Rect {
  double x = 0;
  double y = 0;
  double ancho = 0;
  double alto = 0;
};

struct Pantalla {
  Rect marco;    // the whole screen
  Rect visible;  // without menu bar and Dock (panels and docks on Linux)
};

// One entry of the window server's list; absent fields are absent in the platform's
// dictionary too.
struct DatosVentana {
  std::optional<int64_t> numero;
  std::optional<int64_t> capa;
  std::optional<int64_t> pid;
  std::optional<std::string> dueno;
  std::optional<std::string> nombre;
  std::optional<Rect> limites;
};

class Pantallas {
 public:
  virtual ~Pantallas() = default;
  virtual Rect limitesPrincipal() = 0;
  virtual int64_t pixelesAncho() = 0;
  virtual int64_t pixelesAlto() = 0;
  // The screens, the first one holding the origin of the screen space.
  virtual std::vector<Pantalla> pantallas() = 0;
  // The screen the user is working on (the platform's main screen), if any.
  virtual std::optional<Pantalla> principal() = 0;
  virtual Punto puntero() = 0;
  // On-screen windows front to back, desktop elements excluded; nothing when unreadable.
  virtual std::optional<std::vector<DatosVentana>> listaVentanas() = 0;
  virtual std::string versionSistema() = 0;
  virtual bool capturaPermitida() = 0;
};

}  // namespace tildo
