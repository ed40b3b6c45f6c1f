// The simulated desktop's description reader, and every command that only reads it: arbitrary
// bytes as the description give a reply that prints as JSON, never a crash, and a description
// that the run did not change is left byte for byte as it was.
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "ax/frame/comandos.h"
#include "carpeta_temporal.h"
#include "common/archivos.h"

namespace {

std::string ruta;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  ruta = tildo::fuzz::carpetaTemporal() + "/escritorio.json";
  ::setenv("TILDO_ESCRITORIO", ruta.c_str(), 1);
  ::unsetenv("TILDO_REGISTRO");
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  const std::string bytes(reinterpret_cast<const char*>(datos), tamano);
  if (!tildo::escribirAtomico(ruta, bytes)) std::abort();
  static const std::vector<std::vector<std::string>> ORDENES = {
      {"info"},
      {"frontmost"},
      {"windows"},
      {"work-area"},
      {"ax-tree"},
      {"ax-find", "guardar"},
      {"ax-focus"},
      {"ax-at", "100", "50"},
      {"ax-tree", "--app", "1"},
  };
  for (const auto& orden : ORDENES) {
    const auto resultado = tildo::ejecutar(orden);
    if (resultado.codigo != 0 && resultado.codigo != 1) std::abort();
    if (!tildo::escribirJson(resultado.respuesta)) std::abort();
  }
  if (tildo::leerArchivo(ruta) != bytes) std::abort();
  return 0;
}
