#pragma once
// An application's frames and dialogs, the windows its elements live in.

#include <cstdint>
#include <vector>

#include "desktop/atspi/bus.h"

namespace tildo::atspi {

// A frame or dialog of an application, with its states.
struct Marco {
  Objeto o;
  std::vector<uint32_t> estados;
};

// The application's frames and dialogs, from the answer of its GetChildren.
std::vector<Marco> marcosDe(Bus& bus, Llamada& hijos);
std::vector<Marco> marcosDe(Bus& bus, const Objeto& app);
// The active frames first: toolkits keep the focus mark on the last focused widget of every
// window, and the active window's is the one with the keyboard.
void activasPrimero(std::vector<Marco>& marcos);

}  // namespace tildo::atspi
