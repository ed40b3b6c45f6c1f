#pragma once
// tildo-ax's arguments after the command word.

#include "common/argumentos.h"

namespace tildo {

// Read with tildo-ax's flags that take a value.
Argumentos argumentosDeAx(std::vector<std::string> args);

}  // namespace tildo
