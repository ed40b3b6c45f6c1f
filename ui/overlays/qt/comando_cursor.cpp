#include <QApplication>
#include <QCursor>
#include <QScreen>
#include <QTimer>
#include <cstdlib>
#include <vector>

#include "common/fallo.h"
#include "desktop/ventanas_propias.h"
#include "ui/frame/aplicacion_qt.h"
#include "ui/frame/constantes.h"
#include "ui/frame/padre.h"
#include "ui/frame/qt/conversiones.h"
#include "ui/overlays/aro.h"
#include "ui/overlays/geometria.h"
#include "ui/overlays/qt/comandos.h"
#include "ui/overlays/qt/vista_cursor.h"

namespace tildo::ui {
namespace {

// The frames that load, in file order; missing or unreadable ones are skipped.
std::vector<QImage> cargarCuadros(const std::string& carpetaAssets) {
  std::vector<QImage> cuadros;
  for (int n = 0; n < 4; ++n) {
    QImage cuadro(
        QString::fromStdString(carpetaAssets + "/cursor-frame-" + std::to_string(n) + ".png"));
    if (!cuadro.isNull()) cuadros.push_back(std::move(cuadro));
  }
  return cuadros;
}

// The neon hand: its window follows the pointer at 60 Hz and its frames change every 0.15 s.
class CursorNeon {
 public:
  CursorNeon(bool conCompositor, std::vector<QImage> cuadros)
      : vista(conCompositor), cuadros(std::move(cuadros)) {
    vista.resize(static_cast<int>(ANCHO_CUADRO), static_cast<int>(ALTO_CUADRO));
    if (!this->cuadros.empty()) vista.cuadro = this->cuadros[0];
  }

  void iniciar() {
    seguirAlPuntero();
    vista.mostrar(0);
    vista.show();
    QObject::connect(&reloj, &QTimer::timeout, [this] { seguirAlPuntero(); });
    reloj.setTimerType(Qt::PreciseTimer);
    reloj.start(1000 / 60);
    if (cuadrosAnimados(cuadros.size())) {
      QObject::connect(&relojCuadro, &QTimer::timeout, [this] {
        indice = siguienteCuadro(indice, cuadros.size());
        vista.cuadro = cuadros[indice];
        vista.mostrar(static_cast<int>(indice));
      });
      relojCuadro.start(150);
    }
  }

  VistaCursor vista;
  QTimer reloj;
  QTimer relojCuadro;
  std::vector<QImage> cuadros;
  size_t indice = 0;

 private:
  // Only the window moves: what it shows changes with the frames alone.
  void seguirAlPuntero() {
    QScreen* principal = QGuiApplication::primaryScreen();
    if (!principal) return;
    const QPointF abajoIzquierda = abajoIzquierdaDe(principal->geometry());
    const QPoint puntero = QCursor::pos();
    const Punto abajo{puntero.x() - abajoIzquierda.x(), abajoIzquierda.y() - puntero.y()};
    const Punto origen = origenDelCursor(abajo);
    const QPoint destino = haciaQt({origen.x, origen.y, ANCHO_CUADRO, ALTO_CUADRO}, abajoIzquierda)
                               .topLeft()
                               .toPoint();
    if (destino != vista.pos()) vista.move(destino);
    // Windows mapped or raised later would cover it otherwise.
    vista.raise();
  }
};

}  // namespace

void mostrarCursor(const std::string& carpetaAssets) {
  const Padre padre;
  if (!prepararQt()) fallo("no hay pantalla en la que mostrar el cursor (DISPLAY)");
  QApplication aplicacion(argcDeQt(), argvDeQt());
  CursorNeon cursor(hayCompositor(), cargarCuadros(carpetaAssets));
  cursor.iniciar();
  // Checked every frame: a hand whose agent server died would stay on screen for good.
  QObject::connect(&cursor.reloj, &QTimer::timeout, [&] {
    if (!padre.vive()) std::exit(0);
  });
  escribirLinea(lineaDeCursorListo(cursor.cuadros.size()));
  aplicacion.exec();
  std::exit(0);
}

}  // namespace tildo::ui
