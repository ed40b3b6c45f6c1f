// ventana_con_sombra: an undecorated 400x300 window titled "Con sombra" that draws 12-pixel
// shadows left and right, 8 above and 16 below, and says so in _GTK_FRAME_EXTENTS, as GTK's
// client-side decorated windows do under a compositor. Shown until it is ended.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

int main() {
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), 100, 100, 400, 300, 0, 0, 0);
  const long sombras[4] = {12, 12, 8, 16};
  XChangeProperty(d, w, XInternAtom(d, "_GTK_FRAME_EXTENTS", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(sombras), 4);
  // Motif hints: the decorations field given, and none asked for.
  const long motif[5] = {2, 0, 0, 0, 0};
  const Atom hints = XInternAtom(d, "_MOTIF_WM_HINTS", False);
  XChangeProperty(d, w, hints, hints, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(motif), 5);
  const long pid = getpid();
  XChangeProperty(d, w, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(&pid), 1);
  // Placed where asked, not where the manager would put a new window.
  XSizeHints tam{};
  tam.flags = USPosition | PPosition;
  tam.x = 100;
  tam.y = 100;
  XSetWMNormalHints(d, w, &tam);
  XStoreName(d, w, "Con sombra");
  XMapWindow(d, w);
  XFlush(d);
  for (;;) pause();
}
