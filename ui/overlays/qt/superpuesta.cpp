#include "ui/overlays/qt/superpuesta.h"

#include <QPainter>
#include <cmath>
#include <vector>

namespace tildo::ui {

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
  auto guardado = guardados_.find(clave);
  if (guardado == guardados_.end()) guardado = guardados_.emplace(clave, dibujar()).first;
  const Dibujado* antes = mostrado_;
  if (antes == &guardado->second) return;
  mostrado_ = &guardado->second;
  // Neighbouring drawings often keep the same shape; the X server hears only of changes.
  if (!conCompositor_ && (!antes || antes->forma != mostrado_->forma)) {
    // An empty mask would mean no shape at all: a single pixel outside the view stands in.
    setMask(mostrado_->forma.isEmpty() ? QRegion(-1, -1, 1, 1) : mostrado_->forma);
  }
  update();
}

void Superpuesta::paintEvent(QPaintEvent*) {
  QPainter pintor(this);
  pintor.setCompositionMode(QPainter::CompositionMode_Source);
  if (mostrado_) pintor.drawImage(0, 0, mostrado_->imagen);
}

}  // namespace tildo::ui
