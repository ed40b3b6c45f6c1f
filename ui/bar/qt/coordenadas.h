#pragma once
// The one conversion between the bar's bottom-left coordinates (y upward, as the screen
// service and the views' drawing measure) and Qt's top-left ones (y downward).

#include <QPointF>
#include <QRectF>

#include "desktop/pantallas.h"

namespace tildo::ui {

// `abajoIzquierda` is where the bottom-left space's origin lies in Qt's space: (0, height) for
// a view, the primary screen's bottom-left corner for the screen.
inline QRectF haciaQt(const Rect& r, const QPointF& abajoIzquierda) {
  return {abajoIzquierda.x() + r.x, abajoIzquierda.y() - r.y - r.alto, r.ancho, r.alto};
}

inline Rect desdeQt(const QRectF& r, const QPointF& abajoIzquierda) {
  return {r.x() - abajoIzquierda.x(), abajoIzquierda.y() - r.y() - r.height(), r.width(),
          r.height()};
}

}  // namespace tildo::ui
