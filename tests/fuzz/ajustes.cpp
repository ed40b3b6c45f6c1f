// tildo-ui's settings: arbitrary bytes in ajustes.json read as the rules say, worked out here from
// the file's side (each of the seven keys the object holds with a value of its default's kind);
// a change is refused on a file that is not settings and leaves it untouched; what
// guardarAjustes writes is the pretty form and reads back the same.
#include <unistd.h>

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "carpeta_temporal.h"
#include "common/archivos.h"
#include "ui/frame/ajustes.h"
#include "ui/frame/constantes.h"

namespace {

using tildo::Json;

// The settings these bytes hold, or nothing when they are not a JSON object.
std::optional<Json> esperados(const std::string& bytes) {
  const Json objeto = Json::parse(bytes, nullptr, false);
  if (!objeto.is_object()) return std::nullopt;
  Json ajustes = tildo::ui::AJUSTES_POR_DEFECTO;
  for (auto& [clave, porDefecto] : ajustes.items()) {
    if (!objeto.contains(clave)) continue;
    const Json& valor = objeto.at(clave);
    if (porDefecto.is_string() && valor.is_string()) porDefecto = valor;
    if (porDefecto.is_boolean() && valor.is_boolean()) porDefecto = valor;
    if (porDefecto.is_boolean() && valor.is_number() && (valor == 0 || valor == 1))
      porDefecto = valor == 1;
  }
  return ajustes;
}

void exigir(bool condicion) {
  if (!condicion) std::abort();
}

tildo::ui::Rutas rutas;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  rutas = tildo::ui::calcularRutas("/h", tildo::fuzz::carpetaTemporal(), "/usr/bin/tildo-ui", "/");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  const std::string bytes(reinterpret_cast<const char*>(datos), tamano);
  exigir(tildo::escribirEnSitio(rutas.archivoAjustes, bytes));
  const auto esperado = esperados(bytes);
  const Json leidos = tildo::ui::leerAjustes(rutas);
  exigir(leidos == esperado.value_or(tildo::ui::AJUSTES_POR_DEFECTO));
  const auto texto = tildo::ui::leerTexto(rutas.archivoAjustes);
  exigir(!texto || *texto == bytes);
  tildo::ui::idiomaEfectivo(leidos);

  const auto paraCambiar = tildo::ui::leerAjustesParaCambiar(rutas, std::chrono::milliseconds(0));
  exigir(paraCambiar == esperado);
  exigir(tildo::leerArchivo(rutas.archivoAjustes) == bytes);

  tildo::ui::guardarAjustes(rutas, leidos);
  const std::string guardado = tildo::leerArchivo(rutas.archivoAjustes).value_or("");
  exigir(guardado.starts_with("{\n  \"barra\" : ") && guardado.ends_with("\n}"));
  exigir(tildo::ui::leerAjustes(rutas) == leidos);
  return 0;
}
