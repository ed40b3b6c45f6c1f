#include "desktop/x11/conexion.h"

#include <X11/Xlib-xcb.h>
#include <X11/extensions/Xext.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <utility>

#include "common/fallo.h"
#include "desktop/x11/monitores_x11.h"

namespace tildo {
namespace {

// Xlib's default handler would end the process on a protocol error; callers find out from the
// failed call.
int ignorarError(Display*, XErrorEvent*) {
  return 0;
}

// Xlib would print that an extension is missing; callers find out from the failed call.
int extensionAusente(Display*, _Xconst char*, _Xconst char*) {
  return 0;
}

void (*alPerderseLaConexion)() = nullptr;

// Losing the server mid-command leaves nothing to talk to; end quietly with a failure reply.
[[noreturn]] void terminarSinConexion() {
  if (alPerderseLaConexion) alPerderseLaConexion();
  static const char linea[] =
      "{\"error\":\"se perdió la conexión con la pantalla X\",\"ok\":false}\n";
  [[maybe_unused]] auto n = ::write(STDOUT_FILENO, linea, sizeof linea - 1);
  _exit(1);
}

int conexionPerdida(Display*) {
  terminarSinConexion();
}

// Xlib and xcb print why a server refused the connection (no authorization, say); the failure
// reply says enough, so standard error is pointed away while connecting.
template <typename Conectar>
auto sinSalidaDeErrores(Conectar conectar) {
  const int errorEstandar = ::dup(STDERR_FILENO);
  const int nulo = ::open("/dev/null", O_WRONLY);
  if (nulo >= 0) ::dup2(nulo, STDERR_FILENO);
  auto conexion = conectar();
  if (errorEstandar >= 0) ::dup2(errorEstandar, STDERR_FILENO);
  for (int fd : {nulo, errorEstandar})
    if (fd >= 0) ::close(fd);
  return conexion;
}

}  // namespace

ConexionX11::~ConexionX11() {
  if (propia_) {
    // Closing does not wait for the server; one reply does, so that what the run sent has
    // happened when it replies.
    confirmar();
    xcb_disconnect(propia_);
  }
  if (pantalla_) XCloseDisplay(pantalla_);
}

Display* ConexionX11::pantalla() {
  if (!intentada_) {
    intentada_ = true;
    XSetErrorHandler(ignorarError);
    XSetIOErrorHandler(conexionPerdida);
    XSetExtensionErrorHandler(extensionAusente);
    pantalla_ = sinSalidaDeErrores([] { return XOpenDisplay(nullptr); });
  }
  return pantalla_;
}

xcb_connection_t* ConexionX11::xcb() {
  if (propia_) return propia_;
  if (pantalla_) return XGetXCBConnection(pantalla_);
  if (!intentadaXcb_) {
    intentadaXcb_ = true;
    int numero = 0;
    xcb_connection_t* c = sinSalidaDeErrores([&] { return xcb_connect(nullptr, &numero); });
    if (xcb_connection_has_error(c)) {
      xcb_disconnect(c);
      return nullptr;
    }
    propia_ = c;
    auto pantallas = xcb_setup_roots_iterator(xcb_get_setup(c));
    for (int i = 0; i < numero && pantallas.rem > 1; ++i) xcb_screen_next(&pantallas);
    raizPropia_ = pantallas.data->root;
  }
  return propia_;
}

xcb_window_t ConexionX11::raiz() {
  if (propia_) return raizPropia_;
  return pantalla_ ? DefaultRootWindow(pantalla_) : XCB_NONE;
}

Punto ConexionX11::origenPrincipal() {
  if (origenLeido_) return origen_;
  origenLeido_ = true;
  if (xcb_connection_t* c = xcb()) origen_ = origenDelPrincipal(c, raiz());
  return origen_;
}

void ConexionX11::inalcanzable() {
  const char* nombre = std::getenv("DISPLAY");
  fallo(std::string("no pude abrir la pantalla X «") + (nombre ? nombre : "") + "» (DISPLAY)");
}

void ConexionX11::alPerderse(void (*terminar)()) {
  alPerderseLaConexion = terminar;
}

void ConexionX11::comprobarConexion() {
  if (propia_ && xcb_connection_has_error(propia_)) terminarSinConexion();
}

void ConexionX11::pedirConfirmacion() {
  xcb_connection_t* c = xcb();
  if (!c) return;
  if (confirmacion_) xcb_discard_reply(c, *confirmacion_);
  confirmacion_ = xcb_get_input_focus(c).sequence;
  xcb_flush(c);
  comprobarConexion();
}

void ConexionX11::leerLlegado() {
  // On Xlib's connection the events are Xlib's to read. On xcb's own nobody reads them: what
  // comes there as an event (a mapping change, an error nobody waits for) is let go.
  if (!propia_) return;
  while (xcb_generic_event_t* e = xcb_poll_for_event(propia_)) std::free(e);
  comprobarConexion();
}

void ConexionX11::confirmar() {
  xcb_connection_t* c = xcb();
  if (!c) return;
  unsigned esperada = xcb_get_input_focus(c).sequence;
  if (confirmacion_) {
    // When nothing was sent after the question already asked, its answer says as much and has
    // most likely come while a pause went by; the new one is never sent.
    if (esperada == *confirmacion_ + 1) std::swap(esperada, *confirmacion_);
    xcb_discard_reply(c, *confirmacion_);
    confirmacion_.reset();
  }
  std::free(xcb_get_input_focus_reply(c, {esperada}, nullptr));
  comprobarConexion();
}

}  // namespace tildo
