// The ring and the neon hand drawn by Qt on its offscreen platform and read back by pixel, and
// the shape a window takes without a compositor.
#include <gtest/gtest.h>

#include "dibujo.h"
#include "ui/overlays/geometria.h"
#include "ui/overlays/qt/vista_aro.h"
#include "ui/overlays/qt/vista_cursor.h"

namespace tildo::ui {
namespace {

int alfa(const QImage& imagen, double x, double y) {
  return qAlpha(imagen.pixel(static_cast<int>(x), static_cast<int>(y)));
}

// Opaque and cyan, each component within 24.
bool cian(const QImage& imagen, double x, double y) {
  const QRgb p = imagen.pixel(static_cast<int>(x), static_cast<int>(y));
  return qAlpha(p) == 255 && esCian(p, 24);
}

// A ring like the command's: a view of the window's size, the ring's centre where it goes.
QImage aro(double t, const std::string& etiqueta, const MarcoDelAro& marco) {
  aplicacionFueraDePantalla();
  VistaAro vista(true);
  vista.resize(static_cast<int>(marco.ventana.ancho), static_cast<int>(marco.ventana.alto));
  vista.t = t;
  vista.centro = marco.centro;
  vista.etiqueta = etiqueta;
  return vista.dibujo();
}

const Rect PANTALLA{0, 0, 1280, 800};

TEST(DibujoDelAro, AroDePunto30PuntoEnElCentroYHaloQueRespira) {
  const auto marco = marcoDelAro(500, 300, false, PANTALLA);
  const QImage lleno = aro(0.3, "", marco);     // pulse at its top: halo at radius 42
  const QImage recogido = aro(0.9, "", marco);  // at its bottom: 34
  guardar(lleno, "aro-halo-42");
  guardar(recogido, "aro-halo-34");
  ASSERT_EQ(lleno.size(), QSize(104, 104));
  const double c = 52;
  for (const QImage* imagen : {&lleno, &recogido}) {
    // The core ring, 4 wide at radius 30, in every direction, and the dot of diameter 8.
    EXPECT_TRUE(cian(*imagen, c + 30, c));
    EXPECT_TRUE(cian(*imagen, c, c - 30));
    EXPECT_TRUE(cian(*imagen, c - 30.5, c));
    EXPECT_TRUE(cian(*imagen, c, c));
    EXPECT_TRUE(cian(*imagen, c + 1, c - 2));
    // Clear between the dot and the ring, and in the corners.
    EXPECT_EQ(alfa(*imagen, c + 8, c), 0);
    EXPECT_EQ(alfa(*imagen, c + 20, c), 0);
    EXPECT_EQ(alfa(*imagen, 2, 2), 0);
  }
  // The halo's strokes are at most 10 wide: 37 to 47 at the top, 29 to 39 at the bottom.
  EXPECT_GT(alfa(lleno, c + 42, c), 40);
  EXPECT_GT(alfa(lleno, c, c + 42), 40);
  EXPECT_EQ(alfa(lleno, c + 35, c), 0);
  EXPECT_GT(alfa(recogido, c + 34, c), 40);
  EXPECT_EQ(alfa(recogido, c + 42, c), 0);
  // Fainter at the bottom of the pulse (alpha × 0.5) than at the top (× 1.5).
  EXPECT_LT(alfa(recogido, c + 34, c), alfa(lleno, c + 42, c));
}

TEST(DibujoDelAro, LaEtiquetaDebajoOEncimaDelAro) {
  auto marco = marcoDelAro(500, 300, true, PANTALLA);
  QImage debajo = aro(0, "Pulsando Guardar", marco);
  guardar(debajo, "aro-etiqueta-debajo");
  ASSERT_EQ(debajo.size(), QSize(260, 144));
  // The ring 52 from the top; the box from 104 to 138 (the bottom-left 6 to 40).
  EXPECT_TRUE(cian(debajo, 130 + 30, 52));
  EXPECT_TRUE(cian(debajo, 130, 138));  // its outline
  const QColor fondo = QColor::fromRgba(debajo.pixel(130, 135));
  EXPECT_GT(fondo.alpha(), 220);
  EXPECT_LT(fondo.red(), 40);
  EXPECT_EQ(alfa(debajo, 130, 8), 0);
  // White text in the box.
  bool hayBlanco = false;
  for (int x = 60; x < 200; ++x) hayBlanco |= QColor(debajo.pixel(x, 121)).lightness() > 200;
  EXPECT_TRUE(hayBlanco);

  marco = marcoDelAro(500, 790, true, PANTALLA);
  const QImage encima = aro(0, "Pulsando Guardar", marco);
  guardar(encima, "aro-etiqueta-encima");
  EXPECT_TRUE(cian(encima, 130 + 30, 92));
  // The box from 10 to 44 (the bottom-left 100 to 134), above the ring.
  EXPECT_TRUE(cian(encima, 130, 10));
  EXPECT_GT(alfa(encima, 130, 14), 220);
  EXPECT_EQ(alfa(encima, 130, 140), 0);

  // Longer than the window: the box is 256 wide from x = 2 (its outline 2 wide on its edges),
  // the text runs on to the window's edge.
  const QImage larga = aro(0, std::string(80, 'M'), marcoDelAro(500, 300, true, PANTALLA));
  guardar(larga, "aro-etiqueta-larga");
  EXPECT_EQ(alfa(larga, 0, 108), 0);
  EXPECT_TRUE(cian(larga, 2, 108));
  EXPECT_TRUE(cian(larga, 257, 108));
  EXPECT_EQ(alfa(larga, 259, 108), 0);
  bool textoAlBorde = false;
  for (int x = 245; x < 260; ++x)
    for (int y = 110; y < 132; ++y) textoAlBorde |= QColor(larga.pixel(x, y)).lightness() > 200;
  EXPECT_TRUE(textoAlBorde);
}

TEST(DibujoDelCursor, LaFlechaSinCuadroYElCuadroEscalado) {
  aplicacionFueraDePantalla();
  VistaCursor vista(true);
  vista.resize(34, 44);
  const QImage flecha = vista.dibujo();
  guardar(flecha, "cursor-flecha");
  // The tip at (4, 40) from the bottom-left: 4 from the top-left.
  EXPECT_TRUE(cian(flecha, 5, 7));
  EXPECT_EQ(alfa(flecha, 3, 4), 0);
  EXPECT_EQ(alfa(flecha, 4, 2), 0);
  EXPECT_TRUE(cian(flecha, 6, 30));
  EXPECT_EQ(alfa(flecha, 28, 14), 0);

  // The generated frame, drawn at twice the size, scaled into the view: the fingertip on the
  // hotspot (20, 3), the corners clear.
  vista.cuadro = QImage(QString(CARPETA_ASSETS_COMPILADOS) + "/cursor-frame-2.png");
  ASSERT_FALSE(vista.cuadro.isNull());
  EXPECT_EQ(vista.cuadro.size(), QSize(68, 88));
  const QImage mano = vista.dibujo();
  guardar(mano, "cursor-mano");
  EXPECT_GT(alfa(mano, PUNTO_X, PUNTO_Y + 1), 200);
  EXPECT_EQ(alfa(mano, 0, 0), 0);
  EXPECT_EQ(alfa(mano, 33, 0), 0);
}

TEST(FormaSinCompositor, SoloLoQueSeDibuja) {
  const QImage imagen = aro(0.9, "", marcoDelAro(500, 300, false, PANTALLA));
  const QRegion forma = Superpuesta::formaDe(imagen);
  EXPECT_TRUE(forma.contains(QPoint(52 + 30, 52)));
  EXPECT_TRUE(forma.contains(QPoint(52, 52)));
  EXPECT_FALSE(forma.contains(QPoint(52 + 15, 52)));
  EXPECT_FALSE(forma.contains(QPoint(1, 1)));
  // The faintest edge of the halo is left out.
  EXPECT_GT(alfa(imagen, 52 + 38, 52), 0);
  EXPECT_FALSE(forma.contains(QPoint(52 + 38, 52)));
  QImage vacia(10, 10, QImage::Format_ARGB32_Premultiplied);
  vacia.fill(Qt::transparent);
  EXPECT_TRUE(Superpuesta::formaDe(vacia).isEmpty());
}

}  // namespace
}  // namespace tildo::ui
