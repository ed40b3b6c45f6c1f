#pragma once
// The bar's screens and the pointer's buttons on the X display: the monitors and work area as
// tildo-ax reads them (the primary monitor less what panels reserve), read afresh each time
// since monitors come and go while the bar runs.

#include <memory>

#include "ui/bar/puertos.h"

namespace tildo::ui {

// Nothing when the display cannot be opened. `alPerderse` ends the process when the connection
// to the display is lost; it must not return.
std::unique_ptr<PantallasDeBarra> pantallasDeBarraX11(void (*alPerderse)());

}  // namespace tildo::ui
