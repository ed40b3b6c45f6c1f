#pragma once
// The orders the agent server writes to the watcher, one per line.

#include <cstddef>
#include <string_view>

namespace tildo::ui {

// The longest line read as an order; a longer one is skipped whole, so that a peer that never
// ends its line cannot make the watcher's memory grow.
inline constexpr size_t LIMITE_ORDEN = 64 * 1024;

enum class Orden { ninguna, suprimir, libre, salir };

// One line of standard input without its line feed (a carriage return before it is part of
// the line end). Space separators and tabs are trimmed at both ends and the rest lower-cased:
// a line that begins with "suprimir" suppresses, exactly "libre" resumes, exactly "salir"
// ends; anything else is no order. Any bytes are accepted.
Orden leerOrden(std::string_view linea);

}  // namespace tildo::ui
