#pragma once
// What GTK 4 answers its own way over AT-SPI, turned into what the other toolkits answer: the
// names of its elements and where on the screen they are.

#include <cstdint>
#include <optional>
#include <string>

#include "desktop/atspi/bus.h"
#include "desktop/atspi/sesion.h"
#include "desktop/entrada.h"

namespace tildo::atspi {

// An element's name as its own. GTK 4.8 names an element that has no name after its class
// ("GtkEntry", "AdwGizmo", an application's "HistoryView"), which is no name at all; and an
// element with both a label of its own and a label widget gets the two joined ("7 7"), which
// is one name.
std::optional<std::string> nombreDeGtk4(std::string nombre);

// The deepest element of a GTK 4 frame under a point in the window's pixels, found by the
// children's extents and states: GTK 4.8 answers GetAccessibleAtPoint only with widgets some
// client has read already. The frame itself when none is.
Objeto bajoElPunto(Bus& bus, const Objeto& marco, Punto p);

// A GTK 4 window on the screen. GTK 4 gives its elements' places in its window's pixels even
// when asked for the screen's; the window is the X window of the process that fits the
// frame, by title and then by size, and its elements are measured from there. The X window
// may be wider than the frame by the border GTK keeps around it for resizing, the same on
// every side.
class VentanaGtk4 {
 public:
  VentanaGtk4(SesionAtspi& s, Objeto marco, int32_t pid)
      : s_(s), marco_(std::move(marco)), pid_(pid) {}
  // The top-left corner of the frame in global points; nothing when no window fits.
  std::optional<Punto> origen();
  // A point in global points as the window's pixels.
  std::optional<Punto> enLaVentana(Punto global);

 private:
  SesionAtspi& s_;
  Objeto marco_;
  int32_t pid_;
  bool leido_ = false;
  std::optional<Punto> origen_;
};

}  // namespace tildo::atspi
