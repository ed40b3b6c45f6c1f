// The X display as tildo-ui's windows need it besides Qt, through xcb.
#include <xcb/xcb.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "desktop/ventanas_propias.h"

namespace tildo {
namespace {

template <typename T>
using Respuesta = std::unique_ptr<T, decltype(&std::free)>;

xcb_atom_t atomo(xcb_connection_t* c, const std::string& nombre) {
  Respuesta<xcb_intern_atom_reply_t> respuesta(
      xcb_intern_atom_reply(
          c, xcb_intern_atom(c, 0, static_cast<uint16_t>(nombre.size()), nombre.data()), nullptr),
      std::free);
  return respuesta ? respuesta->atom : xcb_atom_t{XCB_ATOM_NONE};
}

}  // namespace

bool hayPantalla() {
  xcb_connection_t* conexion = xcb_connect(nullptr, nullptr);
  const bool hay = xcb_connection_has_error(conexion) == 0;
  xcb_disconnect(conexion);
  return hay;
}

bool conexionPerdida(void* conexion) {
  return xcb_connection_has_error(static_cast<xcb_connection_t*>(conexion)) != 0;
}

// A compositing manager owns the selection _NET_WM_CM_S<screen> (EWMH) for the screen it
// composites.
bool hayCompositor() {
  int pantalla = 0;
  std::unique_ptr<xcb_connection_t, decltype(&xcb_disconnect)> conexion(
      xcb_connect(nullptr, &pantalla), xcb_disconnect);
  if (xcb_connection_has_error(conexion.get())) return false;
  const xcb_atom_t seleccion = atomo(conexion.get(), "_NET_WM_CM_S" + std::to_string(pantalla));
  if (seleccion == XCB_ATOM_NONE) return false;
  Respuesta<xcb_get_selection_owner_reply_t> dueno(
      xcb_get_selection_owner_reply(conexion.get(),
                                    xcb_get_selection_owner(conexion.get(), seleccion), nullptr),
      std::free);
  return dueno && dueno->owner != XCB_NONE;
}

// Set on the window while it is unmapped, where the window manager reads them when it maps it
// (the manager drops _NET_WM_STATE when a window is withdrawn; Qt adds its own to ours).
void marcarComoBarra(void* conexion, uint32_t ventana) {
  auto* c = static_cast<xcb_connection_t*>(conexion);
  const xcb_atom_t estados[] = {atomo(c, "_NET_WM_STATE_ABOVE"), atomo(c, "_NET_WM_STATE_STICKY"),
                                atomo(c, "_NET_WM_STATE_SKIP_TASKBAR"),
                                atomo(c, "_NET_WM_STATE_SKIP_PAGER")};
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, ventana, atomo(c, "_NET_WM_STATE"), XCB_ATOM_ATOM,
                      32, 4, estados);
  // Every desktop.
  const uint32_t todos = 0xFFFFFFFF;
  xcb_change_property(c, XCB_PROP_MODE_REPLACE, ventana, atomo(c, "_NET_WM_DESKTOP"),
                      XCB_ATOM_CARDINAL, 32, 1, &todos);
  xcb_flush(c);
}

}  // namespace tildo
