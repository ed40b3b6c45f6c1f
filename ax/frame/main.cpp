#include "ax/frame/comandos.h"
#include "ax/frame/respuesta.h"

int main(int argc, char** argv) {
  auto resultado = tildo::ejecutar(std::vector<std::string>(argv + 1, argv + argc));
  tildo::emitir(resultado.respuesta, resultado.codigo);
}
