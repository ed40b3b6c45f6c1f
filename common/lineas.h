#pragma once
// The JSON lines both programs print on standard output, and the environment they read.

#include <optional>
#include <string>

#include "common/json.h"

namespace tildo {

// A failure's object: "ok" false and, in "error", why.
Json respuestaDeFallo(const std::string& mensaje);

// One compact JSON line on standard output, line feed included, in one write, unbuffered: a
// reader never finds half a line, even when the process is killed. False, with nothing
// written, when the object cannot be serialised.
bool escribirLinea(const Json& objeto);

// An environment variable's value; nothing when it is unset or empty.
std::optional<std::string> variableDeEntorno(const char* nombre);

}  // namespace tildo
