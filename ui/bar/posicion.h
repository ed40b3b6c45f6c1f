#pragma once
// Where the bar goes at launch and what its position file says, in the screen service's space
// (origin bottom-left, y upward). The file measures from the top of the primary screen.

#include <optional>
#include <string>
#include <vector>

#include "common/json.h"
#include "desktop/pantallas.h"

namespace tildo::ui {

// The height that flips y between the screen space and the file: the first screen's, else the
// height of the main screen's visible frame.
double alturaDeReferencia(const std::vector<Pantalla>& pantallas, const Rect& visible);

// The panel's origin kept inside the visible frame; a panel larger than it is aligned with
// its right and top edges.
Punto dentroDe(const Rect& panel, const Rect& visible);

// The launch origin for a panel of this size: the saved place when the file gives one (per
// key), clamped into the visible frame; the unclamped default (left + 7, bottom + 30) when
// there is no file.
Punto origenAlColocar(const std::optional<Json>& posicion, const Rect& visible, double t,
                      const Rect& panel);

// The file's text for a panel already inside the visible frame: six integers truncated toward
// zero and "chica", pretty-printed with the keys ascending; nothing when a value does not fit.
std::optional<std::string> textoDePosicion(const Rect& panel, double t, bool compacta);

// "chica" when it is a boolean, else compact.
bool compactaSegun(const std::optional<Json>& posicion);

}  // namespace tildo::ui
