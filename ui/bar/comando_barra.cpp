#include "ui/bar/comando_barra.h"

#include <QApplication>
#include <QTimer>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "common/fallo.h"
#include "desktop/ventanas_propias.h"
#include "ui/bar/barra.h"
#include "ui/bar/procesos_pgrep.h"
#include "ui/bar/procesos_proc.h"
#include "ui/bar/qt/panel_qt.h"
#include "ui/frame/aplicacion_qt.h"
#include "ui/frame/constantes.h"
#include "ui/frame/lineas.h"

namespace tildo::ui {
namespace {

class RelojDelSistema : public Reloj {
 public:
  double ahora() override {
    return std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch())
        .count();
  }
};

// The X display gone (its server ended, or the bar's window was killed): the bar leaves as it
// leaves every other way, traced and with status 0.
[[noreturn]] void sinPantalla() {
  traza("se perdió la conexión con la pantalla X: me retiro");
  std::_Exit(0);
}

// /proc is read in-process; TILDO_BARRA_PGREP=1 starts pgrep instead, for comparing the two.
std::unique_ptr<Procesos> procesos() {
  const char* pgrep = std::getenv("TILDO_BARRA_PGREP");
  if (pgrep && std::strcmp(pgrep, "1") == 0) return procesosDePgrep();
  return procesosDeProc();
}

}  // namespace

int comandoBarra(const Rutas& rutas) {
  std::error_code ec;
  std::filesystem::create_directories(rutas.carpeta, ec);
  if (!prepararQt()) fallo("no hay pantalla en la que mostrar la barra (DISPLAY)", 1);
  auto pantallas = pantallasDeBarra(sinPantalla);
  if (!pantallas) fallo("no hay pantalla en la que mostrar la barra (DISPLAY)", 1);
  auto busqueda = procesos();
  RelojDelSistema reloj;
  Barra barra(*busqueda, *pantallas, reloj, rutas);
  if (!barra.puedoArrancar()) return 0;

  QApplication aplicacion(argcDeQt(), argvDeQt());
  aplicacion.setApplicationName("tildo-ui");
  aplicacion.setQuitOnLastWindowClosed(false);
  const AlPerderseLaPantalla conQt(sinPantalla);
  publicarInterruptores();

  PanelQt panel(rutas.carpetaAssets, [&](const std::string& clave, bool valor) {
    if (clave == CLAVE_CHICO) {
      barra.alternarTamano();
    } else if (clave == CLAVE_CERRAR) {
      panel.ocultar();
      barra.cerrar();
      QApplication::exit(0);
    } else if (!barra.cambiar(clave, valor)) {
      QApplication::exit(0);
    }
  });
  barra.arrancar(panel);

  // A precise timer: a coarse one may drift by a twentieth of its interval.
  QTimer latido;
  latido.setTimerType(Qt::PreciseTimer);
  latido.setInterval(700);
  QObject::connect(&latido, &QTimer::timeout, [&] {
    if (!barra.latido()) QApplication::exit(0);
  });
  latido.start();
  return QApplication::exec();
}

}  // namespace tildo::ui
