#pragma once
// What every tildo-ui window shares with Qt: texts, colours, fonts, and the one conversion
// between the bottom-left coordinates the logic and the views' drawing measure (y upward, as
// the screen service reports them) and Qt's top-left ones (y downward).

#include <QApplication>
#include <QColor>
#include <QFont>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QString>
#include <string>

#include "desktop/pantallas.h"
#include "ui/frame/constantes.h"

namespace tildo::ui {

inline QString q(const std::string& texto) {
  return QString::fromStdString(texto);
}

inline QColor colorDe(const Color& c) {
  return QColor::fromRgbF(static_cast<float>(c.rojo), static_cast<float>(c.verde),
                          static_cast<float>(c.azul), static_cast<float>(c.alfa));
}

// The desktop's user-interface font at a size in pixels.
inline QFont fuenteDeInterfaz(int pixeles, QFont::Weight peso) {
  QFont fuente = QApplication::font();
  fuente.setPixelSize(pixeles);
  fuente.setWeight(peso);
  return fuente;
}

// Where the bottom-left space's origin lies in Qt's space when it is a rectangle's bottom-left
// corner: the primary screen's for the screen service's space.
inline QPointF abajoIzquierdaDe(const QRect& r) {
  return QPointF(r.x(), r.y() + r.height());
}

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
