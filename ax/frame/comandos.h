#pragma once
// The command words of tildo-ax and the function that runs each.

#include <string>
#include <vector>

#include "ax/frame/argumentos.h"
#include "common/json.h"
#include "desktop/escritorio.h"

namespace tildo {

using Comando = Json (*)(const Argumentos&, Escritorio&);

struct EntradaDeComando {
  const char* palabra;
  Comando ejecutar;
  // Whether it reaches the accessibility bus (elements or applications).
  bool bus;
};

// In the order the dispatcher compares them.
const std::vector<EntradaDeComando>& COMANDOS();

// What "tildo-ax --help" prints.
extern const char* const USO;

// Runs one command line (without the program path) and returns the reply and exit code.
// The desktop is opened only when the command word is known.
struct Resultado {
  Json respuesta;
  int codigo = 0;
};
Resultado ejecutar(std::vector<std::string> args);

}  // namespace tildo
