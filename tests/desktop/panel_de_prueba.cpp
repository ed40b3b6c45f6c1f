// panel_de_prueba ALTO: a dock along the top of the screen that reserves ALTO pixels (a strut,
// as panels do), shown until it is ended.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <unistd.h>

#include <cstdlib>

int main(int argc, char** argv) {
  const long alto = argc > 1 ? std::atol(argv[1]) : 30;
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  const int ancho = DisplayWidth(d, DefaultScreen(d));
  const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 0, 0, ancho, alto, 0, 0, 0);
  const Atom dock = XInternAtom(d, "_NET_WM_WINDOW_TYPE_DOCK", False);
  XChangeProperty(d, w, XInternAtom(d, "_NET_WM_WINDOW_TYPE", False), XA_ATOM, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&dock), 1);
  // left, right, top, bottom, then the start and end of each along its edge.
  const long strut[12] = {0, 0, alto, 0, 0, 0, 0, 0, 0, ancho - 1, 0, 0};
  XChangeProperty(d, w, XInternAtom(d, "_NET_WM_STRUT_PARTIAL", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(strut), 12);
  XChangeProperty(d, w, XInternAtom(d, "_NET_WM_STRUT", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(strut), 4);
  const long pid = getpid();
  XChangeProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  XStoreName(d, w, "Panel de prueba");
  XMapWindow(d, w);
  XFlush(d);
  for (;;) pause();
}
