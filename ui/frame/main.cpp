#include "common/ayuda.h"
#include "common/texto.h"
#include "ui/frame/comandos.h"
#include "ui/frame/constantes.h"

int main(int argc, char** argv) {
  // Arguments that are not UTF-8 are read with replacement characters, so every line stays
  // printable.
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(tildo::utf8(tildo::utf16(argv[i])));
  if (tildo::responderAyuda(args, "tildo-ui", tildo::ui::USO)) return 0;
  return tildo::ui::ejecutar(std::move(args), tildo::ui::rutasDelProceso(argc > 0 ? argv[0] : ""));
}
