#pragma once
// What a program that shows windows of its own (tildo-ui) asks of the display besides its
// toolkit: whether there is a display, the bar's screens and the pointer's buttons, whether
// windows are composited, drawings kept by the server, and the bar's window kinds. A window is
// named by the toolkit's native connection (for Qt, QX11Application::connection()) and the
// window's id on it.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "desktop/pantallas.h"

namespace tildo {

// Whether the display the program's windows go to can be opened.
bool hayPantalla();

// Whether the toolkit's connection to the display has broken.
bool conexionPerdida(void* conexion);

// The bar's screens and the pointer's buttons, read afresh each time since monitors come and
// go while the bar runs. Frames are in the screen service's space (origin at the bottom-left of
// the first screen, y upward).
class PantallasDeBarra {
 public:
  virtual ~PantallasDeBarra() = default;
  // The screens, the primary one (the first, holding the origin) first.
  virtual std::vector<Pantalla> pantallas() = 0;
  // The screen the user works on, if any.
  virtual std::optional<Pantalla> principal() = 0;
  // Whether any mouse button is held down anywhere on the display.
  virtual bool hayBotonPulsado() = 0;
};

// Nothing when the display cannot be opened. `alPerderse` ends the process when the connection
// to the display is lost; it must not return.
std::unique_ptr<PantallasDeBarra> pantallasDeBarra(void (*alPerderse)());

// True when a compositing manager runs on the display: without one a window's transparent
// pixels are not see-through, so overlays shape their windows to what they draw.
bool hayCompositor();

// Marks a window not yet shown as the bar: above the others, on every desktop, out of the
// taskbar and the pager.
void marcarComoBarra(void* conexion, uint32_t ventana);

// Drawings a window shows again and again, kept by the display server: once one is kept,
// showing it again sends a request or two and no pixels, and nobody paints in the program.
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

// For the window; null when the server keeps pixels in a layout other than the drawings'
// (another byte order, a visual that is not 8 bits a colour).
std::unique_ptr<DibujosGuardados> dibujosGuardados(void* conexion, uint32_t ventana);

}  // namespace tildo
