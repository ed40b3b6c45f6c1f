#pragma once
// The options of a command, the JSON lines tildo-ui prints and its trace.

#include <optional>
#include <string>
#include <vector>

#include "common/json.h"

namespace tildo::ui {

// The arguments after the command word.
using Args = std::vector<std::string>;

// The argument right after the first one equal to the option name, whatever it is; nothing
// when the name is absent or the last argument.
std::optional<std::string> bandera(const Args& args, const std::string& nombre);
bool tiene(const Args& args, const std::string& nombre);
// The positional arguments that read as numbers, in order; the values of the options that take
// one are skipped.
std::vector<double> numeros(const Args& args);

// One compact JSON line on standard output, line feed included, in one write, unbuffered: a
// reader never finds half a line, even when the process is killed. Nothing is written when the
// object cannot be serialised.
void escribirLinea(const Json& objeto);

// The failure line's object.
Json lineaDeFallo(const std::string& mensaje);

// "[tildo-ui] " + message on standard error, only when TILDO_UI_DEBUG is exactly "1".
void traza(const std::string& mensaje);

}  // namespace tildo::ui
