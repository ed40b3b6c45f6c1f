#include "ui/frame/dialogo_permiso.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <functional>

#include "common/fallo.h"
#include "ui/frame/aplicacion_qt.h"
#include "ui/frame/lineas.h"
#include "ui/frame/qt/conversiones.h"

namespace tildo::ui {
namespace {

std::optional<PuntoDelPuntero> centroEnPantalla(QWidget* boton) {
  QWindow* ventana = boton->window()->windowHandle();
  QScreen* principal = QGuiApplication::primaryScreen();
  if (!ventana || !ventana->isExposed() || !principal) return std::nullopt;
  QScreen* pantalla = ventana->screen() ? ventana->screen() : principal;
  const QPointF centro = boton->mapToGlobal(QRectF(boton->rect()).center());
  const QPoint origen = pantalla->geometry().topLeft();
  const QPoint origenPrincipal = principal->geometry().topLeft();
  return puntoDelPuntero(centro.x(), centro.y(), origen.x(), origen.y(),
                         pantalla->devicePixelRatio(), origenPrincipal.x(), origenPrincipal.y());
}

bool iguales(const std::optional<PuntoDelPuntero>& a, const std::optional<PuntoDelPuntero>& b) {
  if (!a || !b) return !a && !b;
  return a->x == b->x && a->y == b->y;
}

}  // namespace

bool preguntarPermiso(const TextosDePermiso& textos, double segundos) {
  if (!prepararQt()) fallo("no hay pantalla en la que preguntar (DISPLAY)", 1);

  QApplication aplicacion(argcDeQt(), argvDeQt());
  aplicacion.setApplicationName("tildo-ui");

  QMessageBox caja;
  caja.setWindowTitle("Tildo");
  caja.setIcon(QMessageBox::Warning);
  caja.setTextFormat(Qt::PlainText);
  caja.setText(q(textos.mensaje));
  caja.setInformativeText(q(textos.informativo));
  QPushButton* rechazar = caja.addButton(q(textos.rechazar), QMessageBox::RejectRole);
  QPushButton* permitir = caja.addButton(q(textos.permitir), QMessageBox::AcceptRole);
  rechazar->setAccessibleName(q(textos.rechazar));
  permitir->setAccessibleName(q(textos.permitir));
  // Return refuses even when the allow button has the focus: only the first button is ever
  // the default one.
  caja.setDefaultButton(rechazar);
  permitir->setAutoDefault(false);
  caja.setEscapeButton(rechazar);
  caja.setWindowFlag(Qt::WindowStaysOnTopHint);
  caja.setWindowModality(Qt::ApplicationModal);
  caja.adjustSize();
  if (QScreen* principal = QGuiApplication::primaryScreen())
    caja.move(principal->geometry().center() - caja.rect().center());

  // The time-out runs in stretches a timer can hold; a precise timer, since a coarse one may
  // be seconds off over a minute.
  double quedaMs = segundos * 1000;
  std::function<void()> esperarPlazo = [&] {
    if (quedaMs <= 0) {
      caja.done(QDialog::Rejected);
      return;
    }
    const double tramo = std::ceil(std::min(quedaMs, 86400000.0));
    quedaMs -= tramo;
    QTimer::singleShot(static_cast<int>(tramo), Qt::PreciseTimer, &caja, esperarPlazo);
  };

  // The window manager may still move the window after it is mapped: the centre is reported
  // once it has held still for a few polls (or after three seconds, whatever it is then).
  QTimer sondeo;
  sondeo.setInterval(20);
  std::optional<PuntoDelPuntero> ultimo;
  int quietas = 0;
  int vueltas = 0;
  QObject::connect(&sondeo, &QTimer::timeout, [&] {
    ++vueltas;
    const auto punto = centroEnPantalla(permitir);
    quietas = punto && iguales(punto, ultimo) ? quietas + 1 : 0;
    ultimo = punto;
    if (quietas < 3 && vueltas < 150) return;
    sondeo.stop();
    escribirLinea(lineaDeListo(ultimo));
    esperarPlazo();
  });
  QTimer::singleShot(0, &caja, [&] {
    caja.raise();
    caja.activateWindow();
    sondeo.start();
  });
  caja.exec();
  return caja.clickedButton() == permitir;
}

}  // namespace tildo::ui
