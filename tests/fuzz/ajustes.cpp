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

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("TILDO_CONFIG", tildo::fuzz::carpetaTemporal().c_str(), 1);
  tildo::ui::iniciarConstantes("/usr/bin/tildo-ui");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  using tildo::ui::ARCHIVO_AJUSTES;
  const std::string bytes(reinterpret_cast<const char*>(datos), tamano);
  exigir(tildo::escribirEnSitio(ARCHIVO_AJUSTES, bytes));
  const auto esperado = esperados(bytes);
  const Json leidos = tildo::ui::leerAjustes();
  exigir(leidos == esperado.value_or(tildo::ui::AJUSTES_POR_DEFECTO));
  const auto texto = tildo::ui::leerTexto(ARCHIVO_AJUSTES);
  exigir(!texto || *texto == bytes);
  tildo::ui::idiomaEfectivo(leidos);

  const auto paraCambiar = tildo::ui::leerAjustesParaCambiar(std::chrono::milliseconds(0));
  exigir(paraCambiar == esperado);
  exigir(tildo::leerArchivo(ARCHIVO_AJUSTES) == bytes);

  tildo::ui::guardarAjustes(leidos);
  const std::string guardado = tildo::leerArchivo(ARCHIVO_AJUSTES).value_or("");
  exigir(guardado.starts_with("{\n  \"barra\" : ") && guardado.ends_with("\n}"));
  exigir(tildo::ui::leerAjustes() == leidos);
  return 0;
}
