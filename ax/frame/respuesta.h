#pragma once
// Writing the one reply line of a run.

#include <string>

#include "common/json.h"

namespace tildo {

// The bytes of a reply line: the compact JSON, or the fixed fallback when it cannot be written.
std::string lineaDeRespuesta(const Json& respuesta);

// Writes the reply and its line feed to standard output and ends the process with the code.
[[noreturn]] void emitir(const Json& respuesta, int codigo = 0);

Json respuestaDeFallo(const std::string& mensaje);

}  // namespace tildo
