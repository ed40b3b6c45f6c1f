// tildo-ax's argument readers and command dispatch on a simulated desktop, in process. The
// input is an argument vector, the arguments separated by NUL bytes. Every run must give one
// reply that prints as JSON, with `ok`, and an exit code of 0, 1 or 2.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "ax/frame/comandos.h"
#include "ax/frame/respuesta.h"
#include "carpeta_temporal.h"
#include "common/archivos.h"
#include "descripcion_de_prueba.h"

namespace {

std::string carpeta;
std::string descripcion;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  carpeta = tildo::fuzz::carpetaTemporal();
  ::setenv("TILDO_ESCRITORIO", (carpeta + "/escritorio.json").c_str(), 1);
  ::setenv("TILDO_REGISTRO", (carpeta + "/registro.jsonl").c_str(), 1);
  descripcion = *tildo::escribirJsonBonito(tildo::fuzz::descripcionDePrueba());
  // type --stdin reads standard input to its end.
  const int nulo = ::open("/dev/null", O_RDONLY);
  ::dup2(nulo, STDIN_FILENO);
  ::close(nulo);
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  // Each run starts from the same desktop, and the log does not grow without end.
  tildo::escribirAtomico(carpeta + "/escritorio.json", descripcion);
  ::truncate((carpeta + "/registro.jsonl").c_str(), 0);
  std::vector<std::string> args;
  std::string actual;
  for (size_t i = 0; i < tamano; ++i) {
    if (datos[i] == 0) {
      args.push_back(std::move(actual));
      actual.clear();
    } else {
      actual += static_cast<char>(datos[i]);
    }
  }
  if (tamano) args.push_back(std::move(actual));
  const auto resultado = tildo::ejecutar(std::move(args));
  if (resultado.codigo < 0 || resultado.codigo > 2) std::abort();
  const auto ok = resultado.respuesta.find("ok");
  if (ok == resultado.respuesta.end() || !ok->is_boolean()) std::abort();
  if (ok->get<bool>() != (resultado.codigo == 0)) std::abort();
  const auto texto = tildo::escribirJson(resultado.respuesta);
  if (!texto || tildo::Json::parse(*texto, nullptr, false).is_discarded()) std::abort();
  return 0;
}
