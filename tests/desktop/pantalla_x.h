#pragma once

// The tests' own connection to the virtual desktop's X server, to read what the window manager
// and the programs under test set on their windows.

#include <X11/Xlib.h>

#include <vector>

namespace tildo::prueba {

class PantallaX {
 public:
  PantallaX() : d_(XOpenDisplay(nullptr)) {}
  ~PantallaX() {
    if (d_) XCloseDisplay(d_);
  }
  PantallaX(const PantallaX&) = delete;
  PantallaX& operator=(const PantallaX&) = delete;

  Display* d() const { return d_; }
  Window raiz() const { return DefaultRootWindow(d_); }

  // A property of 32-bit items, up to 1024 of them; empty when absent or of another type.
  std::vector<unsigned long> propiedad(Window w, const char* nombre, Atom tipo) const {
    Atom real;
    int formato;
    unsigned long n = 0, resto;
    unsigned char* datos = nullptr;
    std::vector<unsigned long> v;
    if (XGetWindowProperty(d_, w, XInternAtom(d_, nombre, False), 0, 1024, False, tipo, &real,
                           &formato, &n, &resto, &datos) == Success &&
        datos) {
      if (formato == 32)
        v.assign(reinterpret_cast<unsigned long*>(datos),
                 reinterpret_cast<unsigned long*>(datos) + n);
      XFree(datos);
    }
    return v;
  }

 private:
  Display* d_;
};

}  // namespace tildo::prueba
