#pragma once
// A window that floats above every other one on every desktop, never takes the keyboard and
// lets every click through to what is below it. With a compositing manager its transparent
// pixels are see-through; without one the window is shaped to the pixels it draws. On X the
// server keeps each drawing and paints the window from it.

#include <QImage>
#include <QRegion>
#include <QWidget>
#include <memory>
#include <unordered_map>

#include "desktop/ventanas_propias.h"

namespace tildo::ui {

class Superpuesta : public QWidget {
 public:
  explicit Superpuesta(bool conCompositor);

  // Shows the drawing kept under `clave`, made from the view's present state the first time
  // that key is shown (and shapes the window to it without a compositor). A view's keys tell
  // apart all it can show, so after the first round a tick draws and sends no pixels.
  void mostrar(int clave);
  // What the window shows, drawn afresh at its size.
  QImage dibujo() const;
  // The part of an image the window keeps without a compositor: the pixels whose alpha is at
  // least a quarter.
  static QRegion formaDe(const QImage& imagen);

 protected:
  // Paints the content on a transparent surface the window's size.
  virtual void pintar(QPainter& pintor) const = 0;
  void paintEvent(QPaintEvent*) override;
  // None while the display server paints the window.
  QPaintEngine* paintEngine() const override;

 private:
  struct Dibujado {
    QImage imagen;  // as the window paints it; dropped once the server keeps it
    QRegion forma;  // without a compositor
  };
  Dibujado dibujar() const;

  const bool conCompositor_;
  std::unordered_map<int, Dibujado> guardados_;
  const Dibujado* mostrado_ = nullptr;
  std::unique_ptr<DibujosGuardados> enElServidor_;
  bool servidorPreguntado_ = false;
};

}  // namespace tildo::ui
