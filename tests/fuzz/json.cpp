// Our JSON writers against the parser. Any value the parser accepts, written compact or
// pretty, parses back equal; the bytes taken as a text (invalid UTF-8 included), as a value and
// as a key, are either refused by the writers or written as JSON that parses back to them.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/json.h"
#include "common/texto.h"

namespace {

using tildo::Json;

// nlohmann's equality tells 1 from 1.0 by kind only when both are integers; a double written
// without a fraction reads back as an integer, and -0 as 0.
bool iguales(const Json& a, const Json& b) {
  if (a.is_number() && b.is_number()) return a == b;
  if (a.type() != b.type()) return false;
  if (a.is_array()) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
      if (!iguales(a[i], b[i])) return false;
    return true;
  }
  if (a.is_object()) {
    if (a.size() != b.size()) return false;
    for (auto it = a.begin(); it != a.end(); ++it) {
      auto otro = b.find(it.key());
      if (otro == b.end() || !iguales(*it, *otro)) return false;
    }
    return true;
  }
  return a == b;
}

// Written, the value must parse back equal; a writer may refuse only what JSON cannot carry.
void idaYVuelta(const Json& valor, bool puedeRehusar) {
  for (auto escribir : {tildo::escribirJson, tildo::escribirJsonBonito}) {
    const auto texto = escribir(valor);
    if (!texto) {
      if (!puedeRehusar) std::abort();
      continue;
    }
    if (!tildo::utf8Valido(*texto)) std::abort();
    const Json leido = Json::parse(*texto, nullptr, false);
    if (leido.is_discarded() || !iguales(valor, leido)) std::abort();
  }
}

bool tieneNoFinitos(const Json& v) {
  if (v.is_number_float()) return !std::isfinite(v.get<double>());
  if (v.is_structured())
    for (const auto& e : v)
      if (tieneNoFinitos(e)) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  const std::string bytes(reinterpret_cast<const char*>(datos), tamano);
  const Json valor = Json::parse(bytes, nullptr, false);
  // A number too large for a double parses as infinite, which JSON cannot carry.
  if (!valor.is_discarded()) idaYVuelta(valor, tieneNoFinitos(valor));
  const bool valido = tildo::utf8Valido(bytes);
  idaYVuelta(Json(bytes), !valido);
  idaYVuelta(Json{{bytes, 1}, {"ok", Json::array({bytes})}}, !valido);
  return 0;
}
