#include "ui/bar/leer_posicion.h"

#include "common/texto.h"

namespace tildo::ui {

std::optional<Json> leerPosicion(std::string_view bytes) {
  if (!utf8Valido(bytes)) return std::nullopt;
  Json leido = Json::parse(bytes.begin(), bytes.end(), nullptr, false);
  if (!leido.is_object()) return std::nullopt;
  return leido;
}

}  // namespace tildo::ui
