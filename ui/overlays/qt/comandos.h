#pragma once
// The overlay commands: `aro` marks a point for a few seconds, `cursor` shows the neon hand
// that follows the pointer until the process is ended.

#include <string>

#include "ui/frame/lineas.h"

namespace tildo::ui {

// Prints the ready line once the ring is up and the end line when its time is over, then ends
// the process with code 0. Fails on coordinates it cannot report and without a display.
[[noreturn]] void mostrarAro(const Argumentos& args);

// Prints the ready line with the number of frames it could load and runs until it is ended.
// Fails without a display.
[[noreturn]] void mostrarCursor(const std::string& carpetaAssets);

}  // namespace tildo::ui
