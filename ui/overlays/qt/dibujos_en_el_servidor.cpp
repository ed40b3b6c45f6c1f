#include "ui/overlays/qt/dibujos_en_el_servidor.h"

#include <QGuiApplication>

#include "desktop/ventanas_propias.h"

namespace tildo::ui {

std::unique_ptr<DibujosGuardados> dibujosEnElServidor(QWidget& ventana) {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || !x11->connection()) return nullptr;
  return dibujosGuardados(x11->connection(), static_cast<uint32_t>(ventana.winId()));
}

}  // namespace tildo::ui
