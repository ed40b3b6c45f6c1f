// A compositing manager on X11 owns the selection _NET_WM_CM_S<screen> (EWMH) for the screen it
// composites.
#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>
#include <string>

#include "ui/overlays/compositor.h"

namespace tildo::ui {

bool hayCompositor() {
  int pantalla = 0;
  std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> conexion(
      xcb_connect(nullptr, &pantalla), xcb_disconnect);
  if (xcb_connection_has_error(conexion.get())) return false;
  const std::string nombre = "_NET_WM_CM_S" + std::to_string(pantalla);
  std::unique_ptr<xcb_intern_atom_reply_t, decltype(&std::free)> atomo(
      xcb_intern_atom_reply(
          conexion.get(),
          xcb_intern_atom(conexion.get(), 0, static_cast<uint16_t>(nombre.size()), nombre.data()),
          nullptr),
      std::free);
  if (!atomo) return false;
  std::unique_ptr<xcb_get_selection_owner_reply_t, decltype(&std::free)> dueno(
      xcb_get_selection_owner_reply(conexion.get(),
                                    xcb_get_selection_owner(conexion.get(), atomo->atom), nullptr),
      std::free);
  return dueno && dueno->owner != XCB_NONE;
}

}  // namespace tildo::ui
