#pragma once
// Drawings a window shows again and again, kept by the display server: once one is kept,
// showing it again sends a request or two and no pixels, and nobody paints in the program.

#include <cstdint>

namespace tildo::ui {

struct DibujoGuardable {
  int ancho = 0;
  int alto = 0;
  // `alto` rows of `ancho` pixels, 0xAARRGGBB, the colour premultiplied by the alpha.
  const uint32_t* pixeles = nullptr;
  // The pixels the window keeps, a bit each, rows padded to 32 bits, the leftmost pixel in the
  // lowest bit of a byte; null when the window is not shaped.
  const uint8_t* forma = nullptr;
};

class DibujosGuardados {
 public:
  virtual ~DibujosGuardados() = default;
  virtual void guardar(int clave, const DibujoGuardable& dibujo) = 0;
  // The window shows the drawing kept under `clave`, and takes its shape when `conForma`.
  virtual void mostrar(int clave, bool conForma) = 0;
};

}  // namespace tildo::ui
