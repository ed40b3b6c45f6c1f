#pragma once
// The options of a command, the JSON lines tildo-ui prints and its trace.

#include <string>
#include <vector>

#include "common/argumentos.h"
#include "common/lineas.h"

namespace tildo::ui {

// The arguments after the command word, read with tildo-ui's options that take a value.
Argumentos argumentosDeUi(std::vector<std::string> args);

// "[tildo-ui] " + message on standard error, only when TILDO_UI_DEBUG is exactly "1".
void traza(const std::string& mensaje);

}  // namespace tildo::ui
