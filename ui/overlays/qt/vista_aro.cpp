#include "ui/overlays/qt/vista_aro.h"

#include <QFontMetricsF>
#include <QPainter>

#include "ui/frame/qt/conversiones.h"

namespace tildo::ui {
void VistaAro::pintar(QPainter& pintor) const {
  const QPointF c(centro.x, height() - centro.y);
  const double a = pulso(t) + 0.5;
  const double halo = radioDelHalo(t, radio);
  pintor.setBrush(Qt::NoBrush);
  for (auto [alfa, ancho] : {std::pair{0.1, 10.0}, {0.18, 6.0}, {0.3, 3.0}}) {
    pintor.setPen(QPen(colorDe({0.13, 0.82, 1.0, alfa * a}), ancho));
    pintor.drawEllipse(c, halo, halo);
  }
  pintor.setPen(QPen(colorDe(COLOR_CIAN), 4));
  pintor.drawEllipse(c, radio, radio);
  pintor.setPen(Qt::NoPen);
  pintor.setBrush(colorDe(COLOR_CIAN));
  pintor.drawEllipse(c, 4.0, 4.0);
  if (etiqueta.empty()) return;

  const QFont fuente = fuenteDeInterfaz(15, QFont::Medium);
  const QFontMetricsF medidas(fuente);
  const QString texto = q(etiqueta);
  const Rect caja = cajaDeEtiqueta(medidas.horizontalAdvance(texto), width(), centro, radio);
  const QRectF enQt(caja.x, height() - caja.y - caja.alto, caja.ancho, caja.alto);
  pintor.setPen(QPen(colorDe(COLOR_CIAN), 2));
  pintor.setBrush(colorDe({0.05, 0.1, 0.16, 0.92}));
  pintor.drawRoundedRect(enQt, 8, 8);
  pintor.setFont(fuente);
  pintor.setPen(Qt::white);
  // The text's line sits centred in the box; what passes the window's edge is cut off.
  const double arriba = enQt.top() + (caja.alto - medidas.height()) * 0.5;
  pintor.drawText(QPointF(caja.x + 12, arriba + medidas.ascent()), texto);
}

}  // namespace tildo::ui
