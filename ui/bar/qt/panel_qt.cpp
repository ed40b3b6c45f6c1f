#include "ui/bar/qt/panel_qt.h"

#include <QAccessibleWidget>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QScreen>
#include <QWindow>

#include "desktop/ventanas_propias.h"
#include "ui/frame/qt/conversiones.h"

namespace tildo::ui {
namespace {

class AccesibleInterruptor : public QAccessibleWidget {
 public:
  explicit AccesibleInterruptor(Interruptor* fila)
      : QAccessibleWidget(fila, QAccessible::Button), fila_(fila) {}

  QString text(QAccessible::Text tipo) const override {
    if (tipo != QAccessible::Name) return QAccessibleWidget::text(tipo);
    return q(fila_->titulo().empty() ? fila_->pista() : fila_->titulo());
  }
  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.checkable = true;
    s.checked = fila_->encendido();
    return s;
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& accion) override {
    if (accion == pressAction()) fila_->pulsar();
  }
  QStringList keyBindingsForAction(const QString&) const override { return {}; }

 private:
  Interruptor* fila_;
};

QAccessibleInterface* fabricaDeAccesibles(const QString&, QObject* objeto) {
  if (auto* fila = dynamic_cast<Interruptor*>(objeto)) return new AccesibleInterruptor(fila);
  return nullptr;
}

}  // namespace

void publicarInterruptores() {
  QAccessible::installFactory(fabricaDeAccesibles);
}

PanelQt::PanelQt(const std::string& carpetaAssets,
                 std::function<void(const std::string&, bool)> alCambiar)
    : ventana_(std::make_unique<QWidget>(nullptr, Qt::Tool | Qt::FramelessWindowHint |
                                                      Qt::WindowStaysOnTopHint |
                                                      Qt::WindowDoesNotAcceptFocus)) {
  ventana_->setAttribute(Qt::WA_TranslucentBackground);
  ventana_->setAttribute(Qt::WA_ShowWithoutActivating);
  ventana_->setWindowTitle("Tildo — barra");
  ventana_->setFocusPolicy(Qt::NoFocus);
  vista_ = new VistaBarra(carpetaAssets, ventana_.get());
  for (const DefinicionFila& d : DEFINICION)
    filas_.push_back(new Interruptor(d.clave, d.emoji, "", "", false, d.rojo, vista_));
  filas_.push_back(new Interruptor(CLAVE_CHICO, "–", "", "", false, false, vista_));
  filas_.push_back(new Interruptor(CLAVE_CERRAR, "✕", "", "", false, false, vista_));
  for (Interruptor* f : filas_) f->alCambiar = alCambiar;
  // The content rectangle the window starts with, at the screen space's origin.
  ventana_->setGeometry(haciaQt({0, 0, 120, 60}, origenDePantallas()).toRect());
  vista_->setGeometry(0, 0, 120, 60);
}

PanelQt::~PanelQt() = default;

QPointF PanelQt::origenDePantallas() {
  const QScreen* primaria = QGuiApplication::primaryScreen();
  if (!primaria) return {0, 0};
  return abajoIzquierdaDe(primaria->geometry());
}

Rect PanelQt::marco() {
  return desdeQt(QRectF(ventana_->geometry()), origenDePantallas());
}

void PanelQt::moverA(const Punto& origen) {
  const Rect m = marco();
  ventana_->move(
      haciaQt({origen.x, origen.y, m.ancho, m.alto}, origenDePantallas()).topLeft().toPoint());
}

void PanelQt::aplicar(const Disposicion& d) {
  const QRectF marco = haciaQt(d.marco, origenDePantallas());
  ventana_->setGeometry(marco.toRect());
  vista_->setGeometry(0, 0, marco.toRect().width(), marco.toRect().height());
  const double alto = marco.toRect().height();
  for (size_t i = 0; i < filas_.size() && i < d.filas.size(); ++i) {
    Interruptor* fila = filas_[i];
    const FilaDispuesta& f = d.filas[i];
    fila->ponerTextos(f.emoji, f.titulo, f.pista);
    if (f.encendido) fila->ponerEncendido(*f.encendido);
    fila->setVisible(f.visible);
    if (f.visible) fila->setGeometry(haciaQt(f.marco, {0, alto}).toRect());
    fila->update();
  }
  vista_->manoY = d.manoY;
  vista_->nombreVisible = d.nombreVisible;
  vista_->enPausa = d.enPausa;
  vista_->idioma = d.idioma;
  vista_->update();
}

void PanelQt::ponerPista(const std::string& pista) {
  vista_->setToolTip(q(pista));
}

bool PanelQt::visible() {
  return ventana_->isVisible();
}

void PanelQt::mostrar() {
  prepararVentana();
  ventana_->show();
  ventana_->raise();
}

void PanelQt::ocultar() {
  ventana_->hide();
}

double PanelQt::anchoDeEtiqueta(const std::string& etiqueta) {
  return QFontMetricsF(fuenteDeFila()).horizontalAdvance(q(etiqueta));
}

void PanelQt::prepararVentana() {
  auto* x11 = qGuiApp->nativeInterface<QNativeInterface::QX11Application>();
  if (!x11 || ventana_->isVisible()) return;
  marcarComoBarra(x11->connection(), static_cast<uint32_t>(ventana_->winId()));
}

}  // namespace tildo::ui
