#include "ui/frame/permiso.h"

#include <cmath>

#include "common/numeros.h"

namespace tildo::ui {

double segundosDePermiso(const std::optional<std::string>& valor) {
  constexpr double POR_DEFECTO = 60;
  const auto n = valor ? leerDoble(*valor) : std::nullopt;
  if (!n || !std::isfinite(*n)) return POR_DEFECTO;
  // 2^63 itself is the first whole part out of range.
  const double entero = std::trunc(*n);
  if (entero >= 9223372036854775808.0 || entero < -9223372036854775808.0) return POR_DEFECTO;
  return *n;
}

TextosDePermiso textosDePermiso(const std::string& idioma, const std::string& app,
                                double segundos) {
  TextosDePermiso t;
  t.informativo =
      "Se pregunta una vez por aplicación, hasta que cierres la sesión.\n"
      "Tildo no escribe contraseñas ni toca pagos: eso siempre lo haces tú.\n\n"
      "(Si no contestas en " +
      std::to_string(static_cast<int64_t>(segundos)) + " segundos, se toma como un no.)";
  if (idioma == "en") {
    t.mensaje = "May Tildo use \"" + app + "\"?";
    t.rechazar = "Deny";
    t.permitir = "Allow";
  } else if (idioma == "zh") {
    t.mensaje = "Tildo 可以使用「" + app + "」吗？";
    t.rechazar = "拒绝";
    t.permitir = "允许";
  } else {
    t.mensaje = "¿Tildo puede usar «" + app + "»?";
    t.rechazar = "Rechazar";
    t.permitir = "Permitir";
  }
  return t;
}

PuntoDelPuntero puntoDelPuntero(double x, double y, double pantallaX, double pantallaY,
                                double escala, double principalX, double principalY) {
  const double px = pantallaX + (x - pantallaX) * escala - principalX;
  const double py = pantallaY + (y - pantallaY) * escala - principalY;
  return {static_cast<int64_t>(std::trunc(px)), static_cast<int64_t>(std::trunc(py))};
}

Json lineaDeListo(const std::optional<PuntoDelPuntero>& botonPermitir) {
  Json linea = {{"listo", true}, {"ok", true}};
  if (botonPermitir) linea["boton_permitir"] = {{"x", botonPermitir->x}, {"y", botonPermitir->y}};
  return linea;
}

Json lineaDeRespuesta(const std::string& app, bool permitido) {
  return {{"app", app},
          {"ok", true},
          {"permitido", permitido},
          {"respuesta", permitido ? "permitir" : "rechazar"}};
}

}  // namespace tildo::ui
