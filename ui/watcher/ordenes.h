#pragma once
// The orders the agent server writes to the watcher, one per line.

#include <string_view>

namespace tildo::ui {

enum class Orden { ninguna, suprimir, libre, salir };

// One line of standard input without its line feed (a carriage return before it is part of
// the line end). Space separators and tabs are trimmed at both ends and the rest lower-cased:
// a line that begins with "suprimir" suppresses, exactly "libre" resumes, exactly "salir"
// ends; anything else is no order. Any bytes are accepted.
Orden leerOrden(std::string_view linea);

}  // namespace tildo::ui
