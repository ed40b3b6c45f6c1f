#include "desktop/x11/conexion.h"

#include <X11/extensions/Xext.h>
#include <X11/extensions/Xrandr.h>
#include <fcntl.h>
#include <unistd.h>

#include <atomic>

namespace tildo {
namespace {

std::atomic<unsigned long> erroresX{0};

int contarError(Display*, XErrorEvent*) {
  ++erroresX;
  return 0;
}

// Xlib would print that an extension is missing; callers find out from the failed call.
int extensionAusente(Display*, _Xconst char*, _Xconst char*) {
  return 0;
}

// Losing the server mid-command leaves nothing to talk to; end quietly with a failure reply.
int conexionPerdida(Display*) {
  static const char linea[] =
      "{\"error\":\"se perdió la conexión con la pantalla X\",\"ok\":false}\n";
  [[maybe_unused]] auto n = ::write(STDOUT_FILENO, linea, sizeof linea - 1);
  _exit(1);
}

}  // namespace

ConexionX11::~ConexionX11() {
  if (pantalla_) XCloseDisplay(pantalla_);
}

Display* ConexionX11::pantalla() {
  if (!intentada_) {
    intentada_ = true;
    XSetErrorHandler(contarError);
    XSetIOErrorHandler(conexionPerdida);
    XSetExtensionErrorHandler(extensionAusente);
    // Xlib prints why a server refused the connection (no authorization, say); the failure
    // reply says enough, so standard error is pointed away while connecting.
    const int errorEstandar = ::dup(STDERR_FILENO);
    const int nulo = ::open("/dev/null", O_WRONLY);
    if (nulo >= 0) ::dup2(nulo, STDERR_FILENO);
    pantalla_ = XOpenDisplay(nullptr);
    if (errorEstandar >= 0) ::dup2(errorEstandar, STDERR_FILENO);
    for (int fd : {nulo, errorEstandar})
      if (fd >= 0) ::close(fd);
  }
  return pantalla_;
}

Punto ConexionX11::origenPrincipal() {
  if (origenLeido_ || !pantalla()) return origen_;
  origenLeido_ = true;
  int eventos = 0, errores = 0;
  if (!XRRQueryExtension(pantalla_, &eventos, &errores)) return origen_;
  int n = 0;
  XRRMonitorInfo* monitores = XRRGetMonitors(pantalla_, DefaultRootWindow(pantalla_), True, &n);
  if (!monitores) return origen_;
  for (int i = 0; i < n; ++i) {
    if (monitores[i].primary || i == 0) origen_ = {double(monitores[i].x), double(monitores[i].y)};
    if (monitores[i].primary) break;
  }
  XRRFreeMonitors(monitores);
  return origen_;
}

unsigned long ConexionX11::errores() {
  return erroresX;
}

}  // namespace tildo
