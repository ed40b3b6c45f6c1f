#include "ui/bar/posicion.h"

#include <algorithm>

#include "common/numeros.h"

namespace tildo::ui {
namespace {

std::optional<double> numeroEn(const Json& objeto, const char* clave) {
  const auto v = objeto.find(clave);
  if (v == objeto.end() || !v->is_number()) return std::nullopt;
  return v->get<double>();
}

}  // namespace

double alturaDeReferencia(const std::vector<Pantalla>& pantallas, const Rect& visible) {
  return pantallas.empty() ? visible.alto : pantallas.front().marco.alto;
}

Punto dentroDe(const Rect& panel, const Rect& visible) {
  return {std::min(std::max(panel.x, visible.x), visible.x + visible.ancho - panel.ancho),
          std::min(std::max(panel.y, visible.y), visible.y + visible.alto - panel.alto)};
}

Punto origenAlColocar(const std::optional<Json>& posicion, const Rect& visible, double t,
                      const Rect& panel) {
  Punto origen{visible.x + 7, visible.y + 30};
  if (!posicion) return origen;
  if (auto x = numeroEn(*posicion, "x")) origen.x = *x;
  if (auto abajo = numeroEn(*posicion, "abajo")) {
    origen.y = t - *abajo;
  } else {
    const auto y = numeroEn(*posicion, "y");
    const auto h = numeroEn(*posicion, "h");
    if (y && h) origen.y = t - *y - *h;
  }
  return dentroDe({origen.x, origen.y, panel.ancho, panel.alto}, visible);
}

std::optional<std::string> textoDePosicion(const Rect& panel, double t, bool compacta) {
  const auto x = truncar(panel.x);
  const auto y = truncar(t - (panel.alto + panel.y));
  const auto w = truncar(panel.ancho);
  const auto h = truncar(panel.alto);
  const auto abajo = truncar(t - panel.y);
  if (!x || !y || !w || !h || !abajo) return std::nullopt;
  return escribirJsonBonito(
      {{"x", *x}, {"y", *y}, {"w", *w}, {"h", *h}, {"abajo", *abajo}, {"chica", compacta}});
}

bool compactaSegun(const std::optional<Json>& posicion) {
  if (!posicion) return true;
  const auto chica = posicion->find("chica");
  return chica == posicion->end() || !chica->is_boolean() || chica->get<bool>();
}

}  // namespace tildo::ui
