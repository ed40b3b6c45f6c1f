#pragma once
// Writing the one reply line of a run.

#include <string>

#include "common/lineas.h"

namespace tildo {

// The bytes of a reply line and the exit code that goes with it. A reply that cannot be printed
// (text that is not UTF-8) becomes the failure "no se pudo serializar", written as every reply
// is, with exit code 1 where the reply had 0: a caller must not take it for a success.
struct LineaDeRespuesta {
  std::string bytes;
  int codigo = 0;
};
LineaDeRespuesta lineaDeRespuesta(const Json& respuesta, int codigo);

// Writes the reply and its line feed to standard output and ends the process with the code.
[[noreturn]] void emitir(const Json& respuesta, int codigo = 0);

}  // namespace tildo
