#pragma once
// Where an application element of the real desktop gets its windows from: the window
// manager knows them, the accessibility bus does not say which of them is which.

#include <cstdint>
#include <vector>

#include "desktop/accesibilidad.h"

namespace tildo {

class FuenteDeVentanas {
 public:
  virtual ~FuenteDeVentanas() = default;
  // "AXWindows": the application's top-level windows, front to back, minimised ones included.
  virtual std::vector<ElementoRef> ventanas(int32_t pid) = 0;
  // "AXMainWindow": its frontmost window on screen; nothing when none is.
  virtual ElementoRef principal(int32_t pid) = 0;
  // "AXFocusedWindow": the active window when it is the application's.
  virtual ElementoRef enfocada(int32_t pid) = 0;
  // Activates the application's frontmost window; false when it has none.
  virtual bool activar(int32_t pid) = 0;
};

}  // namespace tildo
