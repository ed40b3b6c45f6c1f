#include "ui/frame/aplicacion_qt.h"

#include <QGuiApplication>
#include <QString>
#include <QtGlobal>
#include <cstdlib>

#include "desktop/ventanas_propias.h"
#include "ui/frame/lineas.h"

namespace tildo::ui {
namespace {

// Qt's own warnings (fonts, accessibility bus, platform) become trace lines: standard error
// carries nothing else.
void mensajeDeQt(QtMsgType, const QMessageLogContext&, const QString& mensaje) {
  traza("qt: " + mensaje.toStdString());
}

// Qt's connection and what to do once it has broken, for the exit hook.
void* conexionDeQt = nullptr;
void (*terminarSinPantalla)() = nullptr;

void revisarAlSalir() {
  if (conexionDeQt && conexionPerdida(conexionDeQt)) terminarSinPantalla();
}

}  // namespace

int& argcDeQt() {
  static int argc = 1;
  return argc;
}

char** argvDeQt() {
  static char nombre[] = "tildo-ui";
  static char* argv[] = {nombre, nullptr};
  return argv;
}

bool prepararQt() {
  qInstallMessageHandler(mensajeDeQt);
  // Windows are placed in X coordinates, the ones tildo-ax posts pointer events in.
  setenv("QT_QPA_PLATFORM", "xcb", 1);
  // tildo-ax finds and presses the buttons over AT-SPI, whether or not a screen reader runs.
  setenv("QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1", 0);
  // Qt 6.4 connects to a bus named in AT_SPI_BUS_ADDRESS before it listens for the connection
  // being ready, and then never publishes its windows; asked through the session bus it finds
  // the same accessibility bus and does.
  if (std::getenv("DBUS_SESSION_BUS_ADDRESS")) unsetenv("AT_SPI_BUS_ADDRESS");
  return hayPantalla();
}

AlPerderseLaPantalla::AlPerderseLaPantalla(void (*terminar)()) {
  auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
  if (!x11) return;
  static const bool puesto = std::atexit(revisarAlSalir) == 0;
  if (!puesto) return;
  conexionDeQt = x11->connection();
  terminarSinPantalla = terminar;
}

AlPerderseLaPantalla::~AlPerderseLaPantalla() {
  conexionDeQt = nullptr;
}

}  // namespace tildo::ui
