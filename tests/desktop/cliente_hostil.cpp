// cliente-hostil MODO: X clients that break the rules a window list relies on.
//
//   titulos   three windows: "Enorme" with a title of over 1 MB in _NET_WM_NAME and in WM_NAME,
//             "Mal" with bytes that are not UTF-8 in _NET_WM_NAME and frame extents of 2^31
//             given as the wrong type, and "Viejo" with a 1 MB Latin-1 WM_NAME alone. Prints
//             "ventana ID" for each, then "listo", once they are mapped.
//   efimeras  maps and destroys windows without pause, two alive at a time, until it is ended;
//             prints "listo" after the first.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

Display* d;

void texto(Window w, const char* nombre, const char* tipo, const std::string& valor) {
  XChangeProperty(d, w, XInternAtom(d, nombre, False), XInternAtom(d, tipo, False), 8,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(valor.data()),
                  static_cast<int>(valor.size()));
}

void cardinales(Window w, const char* nombre, Atom tipo, const long* v, int n) {
  XChangeProperty(d, w, XInternAtom(d, nombre, False), tipo, 32, PropModeReplace,
                  reinterpret_cast<const unsigned char*>(v), n);
}

Window ventana(int x) {
  const Window w = XCreateSimpleWindow(d, DefaultRootWindow(d), x, 100, 300, 200, 0, 0, 0);
  const long pid = getpid();
  cardinales(w, "_NET_WM_PID", XA_CARDINAL, &pid, 1);
  return w;
}

std::string repetido(const std::string& trozo, size_t bytes) {
  std::string s;
  while (s.size() < bytes) s += trozo;
  return s;
}

void titulos() {
  // 3-byte characters, so a cut at any power of two falls inside one.
  const Window enorme = ventana(50);
  texto(enorme, "_NET_WM_NAME", "UTF8_STRING", "Enorme " + repetido("€", 1 << 20));
  texto(enorme, "WM_NAME", "STRING", "Enorme " + repetido("x", 1 << 20));
  // A window type that is no list of atoms.
  const long tipo = 7;
  cardinales(enorme, "_NET_WM_WINDOW_TYPE", XA_CARDINAL, &tipo, 1);

  const Window mal = ventana(400);
  texto(mal, "_NET_WM_NAME", "UTF8_STRING", "Mal \xff\xfe t\xc3tulo \xed\xa0\x80 fin\xe2\x82");
  const long bordes[4] = {0x7fffffff, 0x7fffffff, 0x7fffffff, 0x7fffffff};
  cardinales(mal, "_GTK_FRAME_EXTENTS", XA_INTEGER, bordes, 4);

  const Window viejo = ventana(750);
  texto(viejo, "WM_NAME", "STRING", "Viejo \xe9" + repetido("\xe9", 1 << 20));

  for (Window w : {enorme, mal, viejo}) {
    XMapWindow(d, w);
    std::printf("ventana %lu\n", w);
  }
  XSync(d, False);
  std::printf("listo\n");
  std::fflush(stdout);
  for (;;) pause();
}

void efimeras() {
  Window vivas[2] = {0, 0};
  for (unsigned long n = 0;; ++n) {
    Window& w = vivas[n % 2];
    if (w) XDestroyWindow(d, w);
    w = ventana(static_cast<int>(n % 500));
    XStoreName(d, w, ("Efímera " + std::to_string(n)).c_str());
    XMapWindow(d, w);
    XSync(d, False);
    if (n == 0) {
      std::printf("listo\n");
      std::fflush(stdout);
    }
    usleep(2000);
  }
}

}  // namespace

int main(int argc, char** argv) {
  d = XOpenDisplay(nullptr);
  if (!d || argc != 2) return 1;
  if (std::strcmp(argv[1], "titulos") == 0) titulos();
  if (std::strcmp(argv[1], "efimeras") == 0) efimeras();
  return 1;
}
