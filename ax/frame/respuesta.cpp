#include "ax/frame/respuesta.h"

#include <unistd.h>

#include <cstdlib>

namespace tildo {
namespace {

void escribirSalida(const std::string& bytes) {
  size_t hecho = 0;
  while (hecho < bytes.size()) {
    const ssize_t n = ::write(STDOUT_FILENO, bytes.data() + hecho, bytes.size() - hecho);
    if (n <= 0) return;
    hecho += static_cast<size_t>(n);
  }
}

}  // namespace

std::string lineaDeRespuesta(const Json& respuesta) {
  auto texto = escribirJson(respuesta);
  return texto ? *texto : R"({"ok":false,"error":"no se pudo serializar"})";
}

void emitir(const Json& respuesta, int codigo) {
  escribirSalida(lineaDeRespuesta(respuesta) + "\n");
  std::exit(codigo);
}

Json respuestaDeFallo(const std::string& mensaje) {
  return {{"ok", false}, {"error", mensaje}};
}

}  // namespace tildo
