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

LineaDeRespuesta lineaDeRespuesta(const Json& respuesta, int codigo) {
  if (auto texto = escribirJson(respuesta)) return {*texto, codigo};
  return {escribirJson(respuestaDeFallo("no se pudo serializar")).value(),
          codigo == 0 ? 1 : codigo};
}

void emitir(const Json& respuesta, int codigo) {
  const LineaDeRespuesta linea = lineaDeRespuesta(respuesta, codigo);
  escribirSalida(linea.bytes + "\n");
  std::exit(linea.codigo);
}

Json respuestaDeFallo(const std::string& mensaje) {
  return {{"ok", false}, {"error", mensaje}};
}

}  // namespace tildo
