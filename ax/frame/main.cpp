#include "ax/frame/comandos.h"
#include "ax/frame/respuesta.h"
#include "common/ayuda.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  if (tildo::responderAyuda(args, "tildo-ax", tildo::USO)) return 0;
  auto resultado = tildo::ejecutar(std::move(args));
  tildo::emitir(resultado.respuesta, resultado.codigo);
}
