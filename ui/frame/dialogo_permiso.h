#pragma once
// The permission question's window (Qt Widgets on X11).

#include "ui/frame/permiso.h"

namespace tildo::ui {

// Shows the question in front of every window, prints the ready line once the window is up
// where the window manager put it, and waits for a button, Return (which refuses) or the
// time-out (a refusal). True when the allow button was pressed. Fails when there is no X
// display to show it on.
bool preguntarPermiso(const TextosDePermiso& textos, double segundos);

}  // namespace tildo::ui
