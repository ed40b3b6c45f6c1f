#pragma once

// The tests' own connection to the virtual desktop's X server, to read what the window manager
// and the programs under test set on their windows.

#include <X11/Xlib.h>

#include <string>
#include <vector>

namespace tildo::prueba {

class PantallaX {
 public:
  // Windows come and go while they are looked at: a vanished one is simply not the one sought.
  PantallaX() : d_(XOpenDisplay(nullptr)) {
    XSetErrorHandler([](Display*, XErrorEvent*) { return 0; });
  }
  ~PantallaX() {
    if (d_) XCloseDisplay(d_);
  }
  PantallaX(const PantallaX&) = delete;
  PantallaX& operator=(const PantallaX&) = delete;

  Display* d() const { return d_; }
  Window raiz() const { return DefaultRootWindow(d_); }

  // A property's items (of 8, 16 or 32 bits), up to 256 K of them; empty when absent or of
  // another type.
  std::vector<unsigned long> propiedad(Window w, const char* nombre, Atom tipo) const {
    Atom real;
    int formato;
    unsigned long n = 0, resto;
    unsigned char* datos = nullptr;
    std::vector<unsigned long> v;
    if (XGetWindowProperty(d_, w, XInternAtom(d_, nombre, False), 0, 1 << 16, False, tipo, &real,
                           &formato, &n, &resto, &datos) == Success &&
        datos) {
      // Xlib hands 32-bit items back as longs.
      for (unsigned long i = 0; i < n; ++i)
        v.push_back(formato == 32   ? reinterpret_cast<unsigned long*>(datos)[i]
                    : formato == 16 ? reinterpret_cast<unsigned short*>(datos)[i]
                                    : datos[i]);
      XFree(datos);
    }
    return v;
  }
  // A property of 8-bit items as text.
  std::string texto(Window w, const char* nombre, Atom tipo) const {
    const auto v = propiedad(w, nombre, tipo);
    return {v.begin(), v.end()};
  }

 private:
  Display* d_;
};

}  // namespace tildo::prueba
