#pragma once
// What GTK 4 answers its own way over AT-SPI, turned into what the other toolkits answer: the
// names of its elements and the element under a point.

#include <cstdint>
#include <optional>
#include <string>

#include "desktop/atspi/bus.h"
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

}  // namespace tildo::atspi
