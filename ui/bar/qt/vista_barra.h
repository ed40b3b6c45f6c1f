#pragma once
// The bar's views: the switch rows, the background with the hand emblem and the label, and the
// vector hand drawn when the hand image is missing.

#include <QColor>
#include <QPainter>
#include <QWidget>
#include <functional>
#include <optional>
#include <string>

#include "desktop/pantallas.h"
#include "ui/frame/constantes.h"

namespace tildo::ui {

// The rows' font: the desktop's user-interface font at 13 px, medium weight.
QFont fuenteDeFila();

// One clickable row: an emoji and a title, lit when on. It acts on mouse down.
class Interruptor : public QWidget {
 public:
  Interruptor(std::string clave, std::string emoji, std::string titulo, std::string pista,
              bool encendido, bool esRojo, QWidget* padre);

  const std::string& clave() const { return clave_; }
  const std::string& titulo() const { return titulo_; }
  const std::string& pista() const { return pista_; }
  bool encendido() const { return encendido_; }
  void ponerTextos(const std::string& emoji, const std::string& titulo, const std::string& pista);
  void ponerEncendido(bool encendido);
  // Called after a click with the key and the new state.
  std::function<void(const std::string&, bool)> alCambiar;

  // A click: flips the state, redraws and tells alCambiar.
  void pulsar();

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;

 private:
  const std::string clave_;
  std::string emoji_;
  std::string titulo_;
  std::string pista_;
  const bool esRojo_;
  bool encendido_;
};

// The bar's content: the rounded dark background, the hand and the product label. Dragging it
// moves the window with the pointer from the press on.
class VistaBarra : public QWidget {
 public:
  // The hand's image is read from carpetaAssets.
  explicit VistaBarra(std::string carpetaAssets, QWidget* padre = nullptr);

  double manoY = 0;  // bottom of the 28 × 28 hand square, from the view's bottom
  bool nombreVisible = true;
  bool enPausa = false;
  std::string idioma = "es";

 protected:
  void paintEvent(QPaintEvent*) override;
  void mousePressEvent(QMouseEvent*) override;
  void mouseMoveEvent(QMouseEvent*) override;
  void mouseReleaseEvent(QMouseEvent*) override;

 private:
  // While dragging: where the pointer holds the window, from the window's top-left corner.
  std::optional<QPointF> agarre_;
  std::string carpetaAssets_;
};

namespace Dibujo {
// The hand emblem in the rectangle `en` of a view `altoDeVista` high (bottom-left
// coordinates), scaled by `escala` about its centre.
void mano(QPainter& pintor, const Rect& en, double altoDeVista, const QColor& color,
          double escala = 1.0);
}  // namespace Dibujo

}  // namespace tildo::ui
