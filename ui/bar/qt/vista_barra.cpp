#include "ui/bar/qt/vista_barra.h"

#include <QAccessible>
#include <QFontMetricsF>
#include <QImage>
#include <QMouseEvent>
#include <QPainterPath>
#include <QWindow>

#include "ui/bar/disposicion.h"
#include "ui/frame/qt/conversiones.h"

namespace tildo::ui {
namespace {

QColor blanco(double alfa) {
  return QColor::fromRgbF(1, 1, 1, static_cast<float>(alfa));
}

// A text's height in a font, as the line it takes.
double altoDeTexto(const QFont& fuente) {
  return QFontMetricsF(fuente).height();
}

}  // namespace

QFont fuenteDeFila() {
  return fuenteDeInterfaz(13, QFont::Medium);
}

Interruptor::Interruptor(std::string clave, std::string emoji, std::string titulo,
                         std::string pista, bool encendido, bool esRojo, QWidget* padre)
    : QWidget(padre),
      clave_(std::move(clave)),
      emoji_(std::move(emoji)),
      titulo_(std::move(titulo)),
      pista_(std::move(pista)),
      esRojo_(esRojo),
      encendido_(encendido) {
  setToolTip(q(pista_));
  setCursor(Qt::PointingHandCursor);
}

void Interruptor::ponerTextos(const std::string& emoji, const std::string& titulo,
                              const std::string& pista) {
  if (emoji == emoji_ && titulo == titulo_ && pista == pista_) return;
  emoji_ = emoji;
  titulo_ = titulo;
  pista_ = pista;
  setToolTip(q(pista_));
  QAccessibleEvent cambio(this, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&cambio);
  update();
}

void Interruptor::ponerEncendido(bool encendido) {
  if (encendido == encendido_) return;
  encendido_ = encendido;
  QAccessible::State estado;
  estado.checked = true;
  QAccessibleStateChangeEvent cambio(this, estado);
  QAccessible::updateAccessibility(&cambio);
  update();
}

void Interruptor::pulsar() {
  ponerEncendido(!encendido_);
  if (alCambiar) alCambiar(clave_, encendido_);
}

void Interruptor::mousePressEvent(QMouseEvent* evento) {
  if (evento->button() != Qt::LeftButton) return QWidget::mousePressEvent(evento);
  pulsar();
}

void Interruptor::paintEvent(QPaintEvent*) {
  QPainter pintor(this);
  pintor.setRenderHint(QPainter::Antialiasing);
  QPainterPath contorno;
  contorno.addRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 9, 9);
  QColor relleno = blanco(0.06), borde = blanco(0.15);
  if (encendido_) {
    relleno = colorDe(esRojo_ ? COLOR_ROJO : COLOR_CIAN_SUAVE);
    borde = colorDe(esRojo_ ? COLOR_ROJO_BORDE : COLOR_CIAN);
  }
  pintor.fillPath(contorno, relleno);
  pintor.strokePath(contorno, QPen(borde, 1.5));

  const QFont fuente = fuenteDeFila();
  const double alto = height();
  const double altoEtiqueta = altoDeTexto(fuente);
  const Rect caja{10, (alto - altoEtiqueta) * 0.5, width() - 10.0, altoEtiqueta};
  pintor.setFont(fuente);
  pintor.setPen(encendido_ ? blanco(1) : blanco(0.75));
  pintor.drawText(haciaQt(caja, {0, alto}), Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine,
                  q(etiquetaDeFila(emoji_, titulo_)));
}

VistaBarra::VistaBarra(std::string carpetaAssets, QWidget* padre)
    : QWidget(padre), carpetaAssets_(std::move(carpetaAssets)) {}

// The window follows the pointer itself: a move handed to the window manager starts wherever the
// pointer is once the manager has taken it over, a step or more into a quick drag.
void VistaBarra::mousePressEvent(QMouseEvent* evento) {
  if (evento->button() != Qt::LeftButton) return QWidget::mousePressEvent(evento);
  agarre_ = evento->globalPosition() - QPointF(window()->pos());
}

void VistaBarra::mouseMoveEvent(QMouseEvent* evento) {
  if (!agarre_) return QWidget::mouseMoveEvent(evento);
  window()->move((evento->globalPosition() - *agarre_).toPoint());
}

void VistaBarra::mouseReleaseEvent(QMouseEvent* evento) {
  if (evento->button() == Qt::LeftButton) agarre_.reset();
  QWidget::mouseReleaseEvent(evento);
}

void VistaBarra::paintEvent(QPaintEvent*) {
  QPainter pintor(this);
  pintor.setRenderHint(QPainter::Antialiasing);
  pintor.setRenderHint(QPainter::SmoothPixmapTransform);
  const double alto = height();
  QPainterPath fondo;
  fondo.addRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), 14, 14);
  pintor.fillPath(fondo, colorDe(COLOR_FONDO));
  QColor borde = colorDe(COLOR_CIAN);
  borde.setAlphaF(0.85f);
  pintor.strokePath(fondo, QPen(borde, 2));

  // Read on every redisplay: an image put in place or removed shows at the next one.
  const Rect cuadro{8, manoY, 28, 28};
  const QImage imagen(q(carpetaAssets_ + "/tildo-hand.png"));
  if (!imagen.isNull()) {
    pintor.setCompositionMode(QPainter::CompositionMode_SourceOver);
    pintor.setOpacity(1.0);
    pintor.drawImage(haciaQt(cuadro, {0, alto}), imagen);
  } else {
    Dibujo::mano(pintor, cuadro, alto, colorDe(COLOR_CIAN), 0.9);
  }
  if (!nombreVisible) return;

  // The bar is only as wide as its rows need, too narrow for the paused text on one line: the
  // label wraps in a box centred on the hand square, clear of the first row and of the border,
  // and shrinks only when two lines do not hold it either.
  const QString etiqueta = q(enPausa ? texto(idioma, "paused") : "Tildo");
  const QRectF caja = haciaQt({42, manoY - 4, width() - 46.0, 36}, {0, alto});
  const int forma = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;
  QFont fuente = fuenteDeInterfaz(13, QFont::Bold);
  for (int pixeles = 12; pixeles >= 9; --pixeles) {
    const QRectF ocupa = QFontMetricsF(fuente).boundingRect(caja, forma, etiqueta);
    if (ocupa.width() <= caja.width() && ocupa.height() <= caja.height()) break;
    fuente.setPixelSize(pixeles);
  }
  pintor.setFont(fuente);
  pintor.setPen(colorDe(COLOR_CIAN));
  pintor.drawText(caja, forma, etiqueta);
}

void Dibujo::mano(QPainter& pintor, const Rect& en, double altoDeVista, const QColor& color,
                  double escala) {
  const double sw = escala * en.ancho, sh = escala * en.alto;
  const double ox = en.x + (en.ancho - sw) * 0.5, oy = en.y + (en.alto - sh) * 0.5;
  const QPointF origen(0, altoDeVista);
  QPainterPath camino;
  auto pieza = [&](double x, double y, double w, double h, double radio) {
    camino.addRoundedRect(haciaQt({ox + x * sw, oy + y * sh, w * sw, h * sh}, origen), radio * sw,
                          radio * sw);
  };
  pieza(0.18, 0.10, 0.62, 0.62, 0.22);
  pieza(0.36, 0.55, 0.22, 0.42, 0.11);
  for (double x : {0.58, 0.71, 0.84}) pieza(x, 0.22, 0.16, 0.40, 0.08);
  camino.setFillRule(Qt::WindingFill);
  pintor.fillPath(camino, color);
  pintor.strokePath(camino, QPen(blanco(0.9), 1.2));
}

}  // namespace tildo::ui
