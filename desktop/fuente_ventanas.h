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

// An application with no accessible counterpart and no window source: every read fails.
class ElementoMudo : public Elemento {
 public:
  std::optional<Valor> atributo(std::string_view) override { return std::nullopt; }
  std::optional<std::vector<std::string>> acciones() override { return std::nullopt; }
  int realizar(std::string_view) override { return AX_ERROR; }
  int fijar(std::string_view, const Valor&) override { return AX_ERROR; }
};

// The element of an application the accessibility bus does not know: nothing of its inside can
// be read, but its windows, which the window manager knows, can be listed, placed and
// minimised.
class AplicacionDeVentanas : public Elemento {
 public:
  AplicacionDeVentanas(FuenteDeVentanas& fuente, int32_t pid) : fuente_(fuente), pid_(pid) {}
  std::optional<Valor> atributo(std::string_view nombre) override;
  std::optional<std::vector<std::string>> acciones() override { return std::nullopt; }
  int realizar(std::string_view) override { return AX_ERROR; }
  int fijar(std::string_view, const Valor&) override { return AX_ERROR; }

 private:
  FuenteDeVentanas& fuente_;
  int32_t pid_;
};

}  // namespace tildo
