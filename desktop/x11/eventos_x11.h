#pragma once
// The user's input on the X display, heard through XInput2's raw events on the root window:
// every master device's key presses, button presses and motion, synthetic XTest input
// included.

#include "desktop/eventos.h"

namespace tildo {

AperturaDeEventos abrirEventosX11();

}  // namespace tildo
