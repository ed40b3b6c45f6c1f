#pragma once
// The monitors of an X display, as every X11 part reads them: global points are measured from
// the primary monitor's top-left corner.

#include <xcb/xcb.h>

#include <vector>

#include "desktop/pantallas.h"

namespace tildo {

// The active monitors XRandR reports, in the root window's coordinates, the primary one (the
// first when none is) first; empty without XRandR.
std::vector<Rect> monitoresX11(xcb_connection_t* c, xcb_window_t raiz);

// The primary monitor's top-left corner in the root window; (0, 0) without XRandR.
Punto origenDelPrincipal(xcb_connection_t* c, xcb_window_t raiz);

}  // namespace tildo
