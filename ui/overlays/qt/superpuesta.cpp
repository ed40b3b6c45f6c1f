#include "ui/overlays/qt/superpuesta.h"

#include <QPainter>
#include <cmath>
#include <vector>

#include "ui/frame/lineas.h"
#include "ui/overlays/qt/dibujos_en_el_servidor.h"

namespace tildo::ui {
namespace {

// A shape as the server takes it: a bit a pixel, rows padded to 32 bits, the leftmost lowest.
QImage mapaDeBits(const QRegion& forma, const QSize& tamano) {
  QImage bits(tamano, QImage::Format_MonoLSB);
  bits.fill(0);
  for (const QRect& r : forma)
    for (int y = r.top(); y <= r.bottom(); ++y)
      for (int x = r.left(); x <= r.right(); ++x) bits.setPixel(x, y, 1);
  return bits;
}

}  // namespace

Superpuesta::Superpuesta(bool conCompositor)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::X11BypassWindowManagerHint |
                           Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus |
                           Qt::WindowTransparentForInput | Qt::NoDropShadowWindowHint),
      conCompositor_(conCompositor) {
  setAttribute(Qt::WA_ShowWithoutActivating);
  setAttribute(Qt::WA_TranslucentBackground, conCompositor_);
  setAttribute(Qt::WA_OpaquePaintEvent, !conCompositor_);
  setFocusPolicy(Qt::NoFocus);
}

QImage Superpuesta::dibujo() const {
  QImage imagen(size(), QImage::Format_ARGB32_Premultiplied);
  imagen.fill(Qt::transparent);
  QPainter pintor(&imagen);
  pintor.setRenderHint(QPainter::Antialiasing);
  pintor.setRenderHint(QPainter::SmoothPixmapTransform);
  pintar(pintor);
  return imagen;
}

QRegion Superpuesta::formaDe(const QImage& imagen) {
  const QImage alfa = imagen.convertToFormat(QImage::Format_Alpha8);
  std::vector<QRect> tramos;
  for (int y = 0; y < alfa.height(); ++y) {
    const uchar* fila = alfa.constScanLine(y);
    for (int x = 0; x < alfa.width();) {
      if (fila[x] < 64) {
        ++x;
        continue;
      }
      const int desde = x;
      while (x < alfa.width() && fila[x] >= 64) ++x;
      tramos.emplace_back(desde, y, x - desde, 1);
    }
  }
  // One row's runs after another's, left to right: the banded order setRects takes as is.
  QRegion forma;
  forma.setRects(tramos.data(), static_cast<int>(tramos.size()));
  return forma;
}

Superpuesta::Dibujado Superpuesta::dibujar() const {
  Dibujado d{dibujo(), {}};
  if (!conCompositor_) {
    // Shaped to what is drawn, its pixels shown at their full colour: nothing behind them is
    // blended in, so a faint pixel would only show as a dark one.
    d.forma = formaDe(d.imagen);
    d.imagen =
        d.imagen.convertToFormat(QImage::Format_ARGB32).convertToFormat(QImage::Format_RGB32);
  }
  return d;
}

void Superpuesta::mostrar(int clave) {
  if (!servidorPreguntado_) {
    servidorPreguntado_ = true;
    enElServidor_ = dibujosEnElServidor(*this);
    setAttribute(Qt::WA_PaintOnScreen, enElServidor_ != nullptr);
    traza(enElServidor_ ? "dibujos guardados en el servidor X" : "dibujos pintados por Qt");
  }
  auto guardado = guardados_.find(clave);
  if (guardado == guardados_.end()) {
    guardado = guardados_.emplace(clave, dibujar()).first;
    if (enElServidor_) {
      Dibujado& d = guardado->second;
      const QImage bits = conCompositor_ ? QImage() : mapaDeBits(d.forma, d.imagen.size());
      enElServidor_->guardar(clave, {d.imagen.width(), d.imagen.height(),
                                     reinterpret_cast<const uint32_t*>(d.imagen.constBits()),
                                     bits.isNull() ? nullptr : bits.constBits()});
      d.imagen = QImage();
    }
  }
  const Dibujado* antes = mostrado_;
  if (antes == &guardado->second) return;
  mostrado_ = &guardado->second;
  // Neighbouring drawings often keep the same shape; the X server hears only of changes.
  const bool otraForma = !conCompositor_ && (!antes || antes->forma != mostrado_->forma);
  if (enElServidor_) {
    enElServidor_->mostrar(clave, otraForma);
    return;
  }
  if (otraForma) {
    // An empty mask would mean no shape at all: a single pixel outside the view stands in.
    setMask(mostrado_->forma.isEmpty() ? QRegion(-1, -1, 1, 1) : mostrado_->forma);
  }
  update();
}

QPaintEngine* Superpuesta::paintEngine() const {
  return enElServidor_ ? nullptr : QWidget::paintEngine();
}

void Superpuesta::paintEvent(QPaintEvent*) {
  if (enElServidor_) return;
  QPainter pintor(this);
  pintor.setCompositionMode(QPainter::CompositionMode_Source);
  if (mostrado_) pintor.drawImage(0, 0, mostrado_->imagen);
}

}  // namespace tildo::ui
