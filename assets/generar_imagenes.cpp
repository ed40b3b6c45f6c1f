// Draws tildo-ui's images into the directory given: the bar's emblem (tildo-hand.png, 28 × 28
// points) and the neon hand's four frames (cursor-frame-0.png … cursor-frame-3.png, 34 × 44
// points, the fingertip on the hotspot 20 from the left and 3 from the top), all at twice their
// size in points so they stay sharp when scaled. The build runs it; no image is kept by hand.
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTransform>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

#include "ui/frame/constantes.h"

namespace {

constexpr double ESCALA = 2;

QColor cian(double alfa) {
  const auto& c = tildo::ui::COLOR_CIAN;
  return QColor::fromRgbF(static_cast<float>(c.rojo), static_cast<float>(c.verde),
                          static_cast<float>(c.azul), static_cast<float>(alfa));
}

// The folded fingers' knuckles, drawn again inside the outline so they read as fingers.
QPainterPath nudillos() {
  QPainterPath n;
  n.addRoundedRect(QRectF(23.5, 13, 5.5, 13), 2.75, 2.75);
  n.addRoundedRect(QRectF(28, 15.5, 4.5, 12), 2.25, 2.25);
  return n;
}

// A hand pointing up in the cursor's 34 × 44 box (top-left origin), the index finger's tip at
// (20, 3): the finger, two folded fingers, the palm and the thumb, as one outline.
QPainterPath mano() {
  QPainterPath dedo, palma, pieza;
  dedo.addRoundedRect(QRectF(16, 3, 8, 23), 4, 4);
  palma.addRoundedRect(QRectF(10, 20, 22.5, 19), 6, 6);
  pieza.addRoundedRect(QRectF(-3.5, -12, 7, 14), 3.5, 3.5);
  const QPainterPath pulgar = QTransform().translate(12.5, 29).rotate(-40).map(pieza);
  return dedo.united(nudillos()).united(palma).united(pulgar).simplified();
}

bool guardar(const QImage& imagen, const std::string& carpeta, const std::string& nombre) {
  const std::string camino = carpeta + "/" + nombre;
  if (imagen.save(QString::fromStdString(camino), "PNG")) return true;
  std::fprintf(stderr, "no pude escribir %s\n", camino.c_str());
  return false;
}

QImage lienzo(double ancho, double alto) {
  QImage imagen(static_cast<int>(ancho * ESCALA), static_cast<int>(alto * ESCALA),
                QImage::Format_ARGB32_Premultiplied);
  imagen.fill(Qt::transparent);
  return imagen;
}

// One frame of the neon hand: a glow whose strength is `brillo` (0 to 1) around a dark hand
// outlined in cyan, with a white line of light inside the outline.
QImage cuadro(double brillo) {
  QImage imagen = lienzo(34, 44);
  QPainter p(&imagen);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(ESCALA, ESCALA);
  const QPainterPath forma = mano();
  p.setBrush(Qt::NoBrush);
  for (auto [ancho, alfa] : {std::pair{6.0, 0.12}, {4.0, 0.22}, {2.5, 0.4}}) {
    p.setPen(QPen(cian(alfa * brillo), ancho, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(forma);
  }
  p.setPen(QPen(cian(1), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(QColor::fromRgbF(0.05f, 0.1f, 0.16f, 0.85f));
  p.drawPath(forma);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(cian(0.8), 1.1));
  p.drawPath(nudillos());
  p.setPen(QPen(QColor::fromRgbF(1, 1, 1, static_cast<float>(0.4 + 0.5 * brillo)), 1.4,
                Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(20, 6.5), QPointF(20, 15));
  return imagen;
}

// The bar's emblem: the same hand filled with cyan, centred in a 28 × 28 square.
QImage emblema() {
  QImage imagen = lienzo(28, 28);
  QPainter p(&imagen);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(ESCALA, ESCALA);
  const QPainterPath forma = mano();
  const QRectF caja = forma.boundingRect();
  const double k = 25 / std::max(caja.width(), caja.height());
  p.translate(14, 14);
  p.scale(k, k);
  p.translate(-caja.center());
  p.setPen(QPen(cian(0.35), 3 / k, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(forma);
  p.setPen(
      QPen(QColor::fromRgbF(1, 1, 1, 0.9f), 1.2 / k, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(cian(1));
  p.drawPath(forma);
  return imagen;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "uso: generar-imagenes CARPETA\n");
    return 2;
  }
  const std::string carpeta = argv[1];
  bool bien = guardar(emblema(), carpeta, "tildo-hand.png");
  // The glow breathes over the four frames: faint, half, full, half.
  for (int n = 0; n < 4; ++n) {
    const double brillo = 0.35 + 0.65 * (1 - std::cos(2 * std::numbers::pi * n / 4)) / 2;
    bien = guardar(cuadro(brillo), carpeta, "cursor-frame-" + std::to_string(n) + ".png") && bien;
  }
  return bien ? 0 : 1;
}
