#pragma once
// Where an overlay window's drawings can be kept by the display server.

#include <QWidget>
#include <memory>

#include "desktop/ventanas_propias.h"

namespace tildo::ui {

// The X server's pixmaps when the window is on an X display that lays pixels out as the
// drawings do; null otherwise (the window then paints them itself).
std::unique_ptr<DibujosGuardados> dibujosEnElServidor(QWidget& ventana);

}  // namespace tildo::ui
