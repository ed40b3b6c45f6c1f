#pragma once
// The `barra` command: the floating control bar, until it has to leave or the user hides it.

#include "ui/frame/constantes.h"

namespace tildo::ui {

// The process's exit code; 0 for every way the bar leaves.
int comandoBarra(const Rutas& rutas);

}  // namespace tildo::ui
