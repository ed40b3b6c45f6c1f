#pragma once
// The permission question: its texts, its time-out and the lines it prints. The window itself
// is in dialogo_permiso.h.

#include <cstdint>
#include <optional>
#include <string>

#include "common/json.h"

namespace tildo::ui {

// The time-out in seconds from the value of --segundos: 60 when absent or not a number, and
// also when it is not finite or its whole part does not fit a signed 64-bit integer (it is
// printed as one).
double segundosDePermiso(const std::optional<std::string>& valor);

struct TextosDePermiso {
  std::string mensaje;
  std::string informativo;  // always in Spanish
  std::string rechazar;     // the first button, the default one
  std::string permitir;
};

TextosDePermiso textosDePermiso(const std::string& idioma, const std::string& app, double segundos);

// A point in the coordinates tildo-ax's pointer commands take: origin at the top-left of the
// primary monitor, in device pixels, truncated toward zero.
struct PuntoDelPuntero {
  int64_t x = 0;
  int64_t y = 0;
};

// The window system's logical point (x, y) on a screen whose top-left is (pantallaX,
// pantallaY) and which scales by escala, measured from the primary monitor's top-left
// (principalX, principalY). Screen origins are kept in device pixels, sizes are scaled.
PuntoDelPuntero puntoDelPuntero(double x, double y, double pantallaX, double pantallaY,
                                double escala, double principalX, double principalY);

// The ready line, with the allow button's centre when it is known.
Json lineaDeListo(const std::optional<PuntoDelPuntero>& botonPermitir);
Json lineaDeRespuesta(const std::string& app, bool permitido);

}  // namespace tildo::ui
