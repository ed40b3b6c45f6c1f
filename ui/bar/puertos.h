#pragma once
// What the bar's logic reaches besides files and processes: the screens and the pointer's
// buttons (PantallasDeBarra, desktop/ventanas_propias.h), the clock, and its own panel. Frames
// are in the screen service's space (origin at the bottom-left of the first screen, y upward).

#include <optional>
#include <string>
#include <vector>

#include "desktop/pantallas.h"
#include "desktop/ventanas_propias.h"
#include "ui/bar/disposicion.h"

namespace tildo::ui {

class Reloj {
 public:
  virtual ~Reloj() = default;
  // Seconds since 1970.
  virtual double ahora() = 0;
};

// The floating window and its views.
class Panel {
 public:
  virtual ~Panel() = default;
  virtual Rect marco() = 0;
  virtual void moverA(const Punto& origen) = 0;
  // Frame, texts, visibility and places of the rows, the hand and the label, redrawn.
  virtual void aplicar(const Disposicion& disposicion) = 0;
  // The whole bar's tooltip.
  virtual void ponerPista(const std::string& pista) = 0;
  virtual bool visible() = 0;
  // In front of other windows, without taking the keyboard from the active application.
  virtual void mostrar() = 0;
  virtual void ocultar() = 0;
  // A row label's width in the rows' font (13 px, medium weight).
  virtual double anchoDeEtiqueta(const std::string& etiqueta) = 0;
};

}  // namespace tildo::ui
