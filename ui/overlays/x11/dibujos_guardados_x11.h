#pragma once
// Drawings kept in the X server as pixmaps: a window shows one as its background pixmap (the
// server repaints it on its own) and, without a compositor, takes its shape from a bitmap.

#include <cstdint>
#include <memory>

#include "ui/overlays/dibujos_guardados.h"

struct xcb_connection_t;

namespace tildo::ui {

// For `ventana` on the connection that made it; null when the server keeps pixels in a layout
// other than the drawings' (another byte order, a visual that is not 8 bits a colour).
std::unique_ptr<DibujosGuardados> dibujosGuardadosX11(xcb_connection_t* conexion, uint32_t ventana);

}  // namespace tildo::ui
