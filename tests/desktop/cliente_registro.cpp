// cliente-registro ARCHIVO: a bare X client for the pointer tests. It covers the whole screen
// with one window (override-redirect, so no window manager moves it) and appends one line per
// event it receives to ARCHIVO:
//   movimiento X Y ESTADO      pointer motion, root coordinates and the button/modifier state
//   pulsado B X Y / soltado B X Y   button press and release, button number, root coordinates
//   mapa                       the keyboard mapping changed (the server tells once per
//                              keyboard device, so one change gives several)
// It prints "listo" on standard output once the window is on screen.
#include <X11/XKBlib.h>
#include <X11/Xlib.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  Display* d = XOpenDisplay(nullptr);
  if (!d) return 1;
  FILE* registro = std::fopen(argv[1], "w");
  if (!registro) return 1;
  const int pantalla = DefaultScreen(d);
  XSetWindowAttributes atributos{};
  atributos.override_redirect = True;
  atributos.background_pixel = WhitePixel(d, pantalla);
  atributos.event_mask =
      PointerMotionMask | ButtonPressMask | ButtonReleaseMask | ExposureMask | StructureNotifyMask;
  const Window w =
      XCreateWindow(d, RootWindow(d, pantalla), 0, 0, DisplayWidth(d, pantalla),
                    DisplayHeight(d, pantalla), 0, CopyFromParent, InputOutput, CopyFromParent,
                    CWOverrideRedirect | CWBackPixel | CWEventMask, &atributos);
  XMapRaised(d, w);
  // Keyboard mapping changes reach XKB clients as XKB events, not core MappingNotify.
  int xkbEvento = -1, op, error, mayor = XkbMajorVersion, menor = XkbMinorVersion;
  if (XkbQueryExtension(d, &op, &xkbEvento, &error, &mayor, &menor))
    XkbSelectEvents(d, XkbUseCoreKbd, XkbMapNotifyMask, XkbMapNotifyMask);
  bool listo = false;
  while (true) {
    XEvent e;
    XNextEvent(d, &e);
    switch (e.type) {
      case Expose:
        if (!listo) {
          listo = true;
          std::printf("listo\n");
          std::fflush(stdout);
        }
        break;
      case MotionNotify:
        std::fprintf(registro, "movimiento %d %d %u\n", e.xmotion.x_root, e.xmotion.y_root,
                     e.xmotion.state);
        break;
      case ButtonPress:
      case ButtonRelease:
        std::fprintf(registro, "%s %u %d %d\n", e.type == ButtonPress ? "pulsado" : "soltado",
                     e.xbutton.button, e.xbutton.x_root, e.xbutton.y_root);
        break;
      default:
        if (e.type == xkbEvento && reinterpret_cast<XkbEvent&>(e).any.xkb_type == XkbMapNotify)
          std::fprintf(registro, "mapa\n");
        break;
    }
    std::fflush(registro);
  }
}
