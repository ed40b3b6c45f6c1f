#include "ax/frame/respuesta.h"

#include <unistd.h>

#include <cstdlib>

#include "common/archivos.h"

namespace tildo {

LineaDeRespuesta lineaDeRespuesta(const Json& respuesta, int codigo) {
  if (auto texto = escribirJson(respuesta)) return {*texto, codigo};
  return {escribirJson(respuestaDeFallo("no se pudo serializar")).value(),
          codigo == 0 ? 1 : codigo};
}

void emitir(const Json& respuesta, int codigo) {
  const LineaDeRespuesta linea = lineaDeRespuesta(respuesta, codigo);
  escribirTodo(STDOUT_FILENO, linea.bytes + "\n");
  std::exit(linea.codigo);
}

}  // namespace tildo
