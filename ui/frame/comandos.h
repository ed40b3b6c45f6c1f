#pragma once
// The dispatch of tildo-ui's commands.

#include <string>
#include <vector>

#include "ui/frame/constantes.h"

namespace tildo::ui {

// Runs the command named by the first argument with the rest as its options; the process's
// exit code. A failure prints its line here.
int ejecutar(std::vector<std::string> args, const Rutas& rutas);

// What "tildo-ui --help" prints.
extern const char* const USO;

}  // namespace tildo::ui
