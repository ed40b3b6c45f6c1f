// tildo-ui's settings: arbitrary bytes in ajustes.json always read as the seven settings, each
// of its default's kind, and what guardarAjustes writes reads back the same.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>

#include "carpeta_temporal.h"
#include "common/archivos.h"
#include "ui/frame/ajustes.h"
#include "ui/frame/constantes.h"

namespace {

using tildo::Json;

void comprobar(const Json& ajustes) {
  const Json& porDefecto = tildo::ui::AJUSTES_POR_DEFECTO;
  if (!ajustes.is_object() || ajustes.size() != porDefecto.size()) std::abort();
  for (const auto& [clave, valor] : porDefecto.items()) {
    auto it = ajustes.find(clave);
    if (it == ajustes.end() || it->type() != valor.type()) std::abort();
  }
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ::setenv("TILDO_CONFIG", tildo::fuzz::carpetaTemporal().c_str(), 1);
  tildo::ui::iniciarConstantes("/usr/bin/tildo-ui");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  const std::string bytes(reinterpret_cast<const char*>(datos), tamano);
  if (!tildo::escribirEnSitio(tildo::ui::ARCHIVO_AJUSTES, bytes)) std::abort();
  const Json leidos = tildo::ui::leerAjustes();
  comprobar(leidos);
  if (leidos != tildo::ui::ajustesDeBytes(bytes)) std::abort();
  const auto texto = tildo::ui::leerTexto(tildo::ui::ARCHIVO_AJUSTES);
  if (texto.has_value() && *texto != bytes) std::abort();
  tildo::ui::idiomaEfectivo(leidos);

  tildo::ui::guardarAjustes(leidos);
  if (tildo::ui::leerAjustes() != leidos) std::abort();
  return 0;
}
