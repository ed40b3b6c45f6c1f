#include "ui/overlays/qt/vista_cursor.h"

#include <QPainter>
#include <QPolygonF>

#include "ui/frame/qt/conversiones.h"
#include "ui/overlays/geometria.h"

namespace tildo::ui {

void VistaCursor::pintar(QPainter& pintor) const {
  if (!cuadro.isNull()) {
    pintor.drawImage(QRectF(0, 0, ANCHO_CUADRO, ALTO_CUADRO), cuadro);
    return;
  }
  // The arrow's corners from the view's bottom-left, its tip at (4, 40).
  QPolygonF flecha;
  for (auto [x, y] : {std::pair{4, 40}, {4, 8}, {13, 17}, {19, 4}, {26, 8}, {20, 21}, {31, 22}})
    flecha << QPointF(x, height() - y);
  pintor.setPen(Qt::NoPen);
  pintor.setBrush(colorDe(COLOR_CIAN));
  pintor.drawPolygon(flecha);
}

}  // namespace tildo::ui
