#pragma once
// The one connection to the X display a run uses, opened on first use. Input speaks xcb,
// windows and screens Xlib; when Xlib has the display open, xcb requests travel on its
// connection. Nothing Xlib or xcb says reaches standard error: protocol errors are counted or
// dropped, not printed.

#include <X11/Xlib.h>
#include <xcb/xcb.h>

#include <optional>

#include "desktop/entrada.h"

namespace tildo {

class ConexionX11 {
 public:
  ConexionX11() = default;
  // Waits for the server to have handled every request sent.
  ~ConexionX11();
  ConexionX11(const ConexionX11&) = delete;
  ConexionX11& operator=(const ConexionX11&) = delete;

  // The display, or nullptr when none can be opened.
  Display* pantalla();
  // The connection for xcb requests, or nullptr when none can be opened: Xlib's when its display
  // is open, else one of xcb's own (Xlib opened later would then have a second one).
  xcb_connection_t* xcb();
  // The root window of the display's default screen, on the connection xcb() gives.
  xcb_window_t raiz();
  // The primary monitor's top-left corner in the root window: global points are measured
  // from there.
  Punto origenPrincipal();
  // Fails the command: the display named by DISPLAY cannot be opened.
  [[noreturn]] static void inalcanzable();
  // Ends the run with the failure reply when the connection to the server is gone.
  void comprobarConexion();
  // What ends the process when the connection to the server is lost, in place of tildo-ax's
  // failure reply and exit code 1: a program of another kind (tildo-ui's bar) ends its own way.
  // It must not return.
  static void alPerderse(void (*terminar)());
  // Sends what is queued on xcb's connection with a question the server answers once it has
  // handled all of it, and goes on without waiting: the answer, if nothing is sent after it, is
  // the final wait.
  void pedirConfirmacion();
  // Reads what the server has sent on xcb's own connection, without waiting: the answer to the
  // question, once read, costs nothing more when it is awaited.
  void leerLlegado();
  // Waits until the server has handled every request sent on xcb's connection.
  void confirmar();

 private:
  Display* pantalla_ = nullptr;
  bool intentada_ = false;
  xcb_connection_t* propia_ = nullptr;  // xcb's own connection, when Xlib's is not open
  bool intentadaXcb_ = false;
  xcb_window_t raizPropia_ = XCB_NONE;
  bool origenLeido_ = false;
  Punto origen_;
  // The question pedirConfirmacion sent last, while its answer is unread.
  std::optional<unsigned> confirmacion_;
};

}  // namespace tildo
