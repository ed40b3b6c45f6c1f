// The bar drawn by Qt on its offscreen platform and read back by pixel: lit and neutral rows,
// the hand image or the vector hand where the layout puts it, the label or the paused text.
#include <QAccessible>
#include <QAccessibleActionInterface>

#include <gtest/gtest.h>

#include "common/texto.h"
#include "dibujo.h"
#include "ui/bar/disposicion.h"
#include "ui/bar/qt/panel_qt.h"
#include "ui/bar/qt/vista_barra.h"
#include "ui/frame/ajustes.h"
#include "ui/frame/constantes.h"

namespace tildo::ui {
namespace {

class UiDibujoBarra : public ::testing::Test {
 protected:
  void SetUp() override {
    aplicacionFueraDePantalla();
    publicarInterruptores();
    char plantilla[] = "/tmp/tildo-dibujo-XXXXXX";
    raiz_ = mkdtemp(plantilla);
  }
  void TearDown() override { std::filesystem::remove_all(raiz_); }

  // The panel laid out for these settings, drawn whole.
  QImage dibujar(PanelQt& panel, const std::string& ajustes, bool compacta, const Rect& marco) {
    const Disposicion d = acomodar(
        ajustesDeBytes(ajustes), compacta, marco, Rect{0, 0, 1280, 800},
        [&](const std::string& e) { return panel.anchoDeEtiqueta(e); }, "cerrar");
    panel.aplicar(d);
    return ventana()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  }
  static QWidget* ventana() {
    for (QWidget* w : QApplication::topLevelWidgets())
      if (w->windowTitle() == "Tildo — barra") return w;
    return nullptr;
  }
  static Interruptor* fila(const std::string& clave) {
    // Interruptor has no meta-object of its own, so findChildren<Interruptor*> would give every
    // QWidget (the view itself among them) as one.
    for (auto* w : ventana()->findChildren<QWidget*>())
      if (auto* f = dynamic_cast<Interruptor*>(w); f && f->clave() == clave) return f;
    return nullptr;
  }
  std::string raiz_;
};

TEST_F(UiDibujoBarra, FilasEncendidasNeutrasYLaManoVectorial) {
  PanelQt panel(raiz_, [](const std::string&, bool) {});
  // The top half: grows downward, the hand at the top.
  const QImage img = dibujar(panel, R"({"voz": true, "cursor": false, "pausa": true})", false,
                             {100, 600, 104, 100});
  guardar(img, "barra-completa-mano-vectorial");
  ASSERT_EQ(img.height(), 252);
  // Rows from the top: hand 8..36, first row at 42..68, then every 30.
  auto dentroDeFila = [&](int i) { return img.pixel(12, 42 + 30 * i + 13); };
  const QRgb voz = dentroDeFila(0), cursor = dentroDeFila(1), pausa = dentroDeFila(4);
  EXPECT_GT(qBlue(voz), 90) << std::hex << voz;  // cyan at 0.3 over the dark background
  EXPECT_GT(qGreen(voz), 75);
  EXPECT_LT(qRed(voz), 60);
  EXPECT_GT(qRed(pausa), 100) << std::hex << pausa;  // red at 0.45
  EXPECT_LT(qGreen(pausa), qRed(pausa) - 40);
  EXPECT_LT(std::abs(qRed(cursor) - qBlue(cursor)), 60) << std::hex << cursor;  // neutral
  EXPECT_LT(qGreen(cursor), 70);
  // The vector hand's palm, in cyan, inside the square at the top.
  EXPECT_TRUE(esCian(img.pixel(22, 26))) << std::hex << img.pixel(22, 26);
  // The "Tildo" label beside it.
  bool etiqueta = false;
  for (int x = 42; x < 80; ++x)
    for (int y = 14; y < 30; ++y) etiqueta = etiqueta || esCian(img.pixel(x, y));
  EXPECT_TRUE(etiqueta);
}

TEST_F(UiDibujoBarra, LaImagenDeLaManoAbajoAlCrecerHaciaArriba) {
  QImage mano(28, 28, QImage::Format_ARGB32);
  mano.fill(QColor(255, 0, 255));
  ASSERT_TRUE(mano.save(QString::fromStdString(raiz_ + "/tildo-hand.png")));
  PanelQt panel(raiz_, [](const std::string&, bool) {});
  const QImage img = dibujar(panel, "{}", true, {100, 50, 44, 72});
  guardar(img, "barra-compacta-imagen");
  ASSERT_EQ(img.height(), 72);
  // manoY 8 from the bottom: the square spans 36..64 from the top.
  EXPECT_TRUE(cerca(img.pixel(22, 50), 255, 0, 255)) << std::hex << img.pixel(22, 50);
  EXPECT_FALSE(cerca(img.pixel(22, 20), 255, 0, 255));
  // Removed while running: the vector hand at the next redisplay.
  std::filesystem::remove(raiz_ + "/tildo-hand.png");
  const QImage sin = ventana()->grab().toImage().convertToFormat(QImage::Format_ARGB32);
  EXPECT_TRUE(esCian(sin.pixel(22, 54))) << std::hex << sin.pixel(22, 54);
}

TEST_F(UiDibujoBarra, EtiquetaOcultaEnCompactoYTextoDePausa) {
  // The label's rightmost cyan column in a wide view.
  auto finDeEtiqueta = [&](bool visible, bool pausa, const std::string& nombre) {
    VistaBarra vista(raiz_);
    vista.resize(300, 44);
    vista.manoY = 8;
    vista.nombreVisible = visible;
    vista.enPausa = pausa;
    vista.idioma = "en";
    const QImage img = vista.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    guardar(img, nombre);
    int fin = 0;
    for (int x = 40; x < 290; ++x)
      for (int y = 4; y < 40; ++y)
        if (esCian(img.pixel(x, y))) fin = x;
    return fin;
  };
  const int tildo = finDeEtiqueta(true, false, "vista-tildo");
  const int pausa = finDeEtiqueta(true, true, "vista-pausa");
  EXPECT_GT(tildo, 60);
  EXPECT_GT(pausa, tildo + 30);  // "Tildo paused" is longer than "Tildo"
  EXPECT_EQ(finDeEtiqueta(false, true, "vista-sin-nombre"), 0);
}

TEST_F(UiDibujoBarra, ElTextoDePausaCabeEnElAnchoDeLaBarra) {
  // The label's cyan pixels, beside the hand and inside the border, in a view that wide.
  auto tinta = [&](int ancho, const std::string& idioma, const std::string& nombre) {
    VistaBarra vista(raiz_);
    vista.resize(ancho, 44);
    vista.manoY = 8;
    vista.enPausa = true;
    vista.idioma = idioma;
    const QImage img = vista.grab().toImage().convertToFormat(QImage::Format_ARGB32);
    if (!nombre.empty()) guardar(img, nombre);
    int n = 0;
    for (int x = 40; x < ancho - 4; ++x)
      for (int y = 4; y < 40; ++y) n += esCian(img.pixel(x, y));
    return n;
  };
  // 104: the full bar's width when no row's label is wider than the least the layout gives.
  for (const std::string idioma : {"es", "en"}) {
    const int enLaBarra = tinta(104, idioma, "vista-pausa-" + idioma + "-104");
    const int holgada = tinta(300, idioma, "");
    EXPECT_GT(holgada, 150) << idioma;
    EXPECT_GT(enLaBarra, holgada * 0.85) << idioma << ": el texto quedó cortado";
  }
}

TEST_F(UiDibujoBarra, LasFilasSonBotonesAccesibles) {
  std::vector<std::pair<std::string, bool>> cambios;
  PanelQt panel(raiz_, [&](const std::string& c, bool v) { cambios.emplace_back(c, v); });
  dibujar(panel, R"({"idioma": "es", "zoom": true})", false, {100, 600, 104, 100});
  QAccessibleInterface* zoom = QAccessible::queryAccessibleInterface(fila("zoom"));
  ASSERT_NE(zoom, nullptr);
  EXPECT_EQ(zoom->role(), QAccessible::Button);
  EXPECT_EQ(zoom->text(QAccessible::Name).toStdString(), "Zoom");
  EXPECT_TRUE(zoom->state().checkable);
  EXPECT_TRUE(zoom->state().checked);
  ASSERT_NE(zoom->actionInterface(), nullptr);
  EXPECT_EQ(zoom->actionInterface()->actionNames(),
            QStringList{QAccessibleActionInterface::pressAction()});
  zoom->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
  EXPECT_FALSE(zoom->state().checked);
  EXPECT_EQ(cambios, (std::vector<std::pair<std::string, bool>>{{"zoom", false}}));
  // Buttons without a title are named by their hint.
  QAccessibleInterface* chico = QAccessible::queryAccessibleInterface(fila(CLAVE_CHICO));
  EXPECT_EQ(chico->text(QAccessible::Name).toStdString(), "Minimizar la barra");
  EXPECT_EQ(fila(CLAVE_CHICO)->toolTip().toStdString(), "Minimizar la barra");
  EXPECT_EQ(fila(CLAVE_CHICO)->cursor().shape(), Qt::PointingHandCursor);
}

}  // namespace
}  // namespace tildo::ui
