#include "ui/overlays/qt/dibujos_en_el_servidor.h"

#include <QGuiApplication>

#include "ui/overlays/x11/dibujos_guardados_x11.h"

namespace tildo::ui {

std::unique_ptr<DibujosGuardados> dibujosEnElServidor(QWidget& ventana) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return nullptr;
  return dibujosGuardadosX11(x11->connection(), static_cast<uint32_t>(ventana.winId()));
}

}  // namespace tildo::ui
