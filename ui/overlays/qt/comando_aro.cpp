#include <QApplication>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdlib>

#include "common/fallo.h"
#include "desktop/ventanas_propias.h"
#include "ui/frame/aplicacion_qt.h"
#include "ui/frame/padre.h"
#include "ui/frame/qt/conversiones.h"
#include "ui/overlays/aro.h"
#include "ui/overlays/geometria.h"
#include "ui/overlays/qt/comandos.h"
#include "ui/overlays/qt/vista_aro.h"

namespace tildo::ui {
namespace {

// The ring's window for the exit hook, which takes it down however the process ends.
QWidget* ventanaDelAro = nullptr;
bool atexitDelAroPuesto = false;

void cerrarVentanaDelAroAlSalir() {
  if (!ventanaDelAro) return;
  ventanaDelAro->hide();
  ventanaDelAro->close();
  ventanaDelAro = nullptr;
}

// Qt places windows on int coordinates and adds sizes to them; a ring asked for beyond its
// widgets' largest size (x and y may be anything within 64 bits) is off every screen all the
// same, and the arithmetic stays defined.
int pixel(double v) {
  return static_cast<int>(
      std::clamp(std::floor(v), -double(QWIDGETSIZE_MAX), double(QWIDGETSIZE_MAX)));
}

double ahora() {
  return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
}

}  // namespace

void mostrarAro(const Argumentos& args) {
  // The lifetime counts from here, not from the first frame.
  Aro aro(opcionesDelAro(args), ahora());
  const Padre padre;
  if (!prepararQt()) fallo("no hay pantalla en la que mostrar el aro (DISPLAY)");
  QApplication aplicacion(argcDeQt(), argvDeQt());
  QScreen* principal = QGuiApplication::primaryScreen();
  if (!principal) fallo("no hay pantalla en la que mostrar el aro");
  const QPointF origen = abajoIzquierdaDe(principal->geometry());
  std::vector<Rect> pantallas;
  for (const QScreen* s : QGuiApplication::screens())
    pantallas.push_back(desdeQt(QRectF(s->geometry()), origen));
  const Rect pantalla =
      pantallaDelAro(aro.x, aro.y, pantallas, desdeQt(QRectF(principal->geometry()), origen));
  const MarcoDelAro marco = marcoDelAro(aro.x, aro.y, !aro.etiqueta.empty(), pantalla);

  const bool conCompositor = hayCompositor();
  traza(conCompositor ? "aro con compositor" : "aro sin compositor: ventana recortada");
  VistaAro vista(conCompositor);
  vista.etiqueta = aro.etiqueta;
  // The window sits on whole pixels; the ring moves within it to stay on the exact point.
  const QPointF arriba = haciaQt(marco.ventana, origen).topLeft();
  const QPoint esquina(pixel(arriba.x()), pixel(arriba.y()));
  vista.centro = {marco.centro.x + (arriba.x() - esquina.x()),
                  marco.centro.y - (arriba.y() - esquina.y())};
  vista.setGeometry(QRect(
      esquina, QSize(static_cast<int>(marco.ventana.ancho), static_cast<int>(marco.ventana.alto))));
  vista.mostrar(faseDelPulso(vista.t));
  vista.show();
  vista.raise();

  ventanaDelAro = &vista;
  if (!atexitDelAroPuesto) {
    atexitDelAroPuesto = true;
    std::atexit(cerrarVentanaDelAroAlSalir);
  }

  QTimer reloj;
  reloj.setTimerType(Qt::PreciseTimer);
  reloj.setInterval(1000 / 60);
  QObject::connect(&reloj, &QTimer::timeout, [&] {
    // Nobody reads the end line of a ring whose agent server died.
    if (!padre.vive()) std::exit(0);
    if (aro.tic(ahora())) {
      escribirLinea(lineaDeAroTerminado());
      std::exit(0);
    }
    vista.t = aro.t;
    vista.mostrar(faseDelPulso(aro.t));
    // Windows mapped or raised later would cover it otherwise.
    vista.raise();
  });
  reloj.start();
  escribirLinea(lineaDeAroListo(aro));
  aplicacion.exec();
  std::exit(0);
}

}  // namespace tildo::ui
