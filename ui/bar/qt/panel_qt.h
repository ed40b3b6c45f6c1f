#pragma once
// The bar's floating window with Qt Widgets on X11: frameless, translucent, above ordinary
// windows on every desktop, out of the taskbar and pager, never taking the keyboard. Its rows
// are push buttons on the accessibility bus.

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/bar/puertos.h"
#include "ui/bar/qt/vista_barra.h"

namespace tildo::ui {

class PanelQt : public Panel {
 public:
  // alCambiar hears every click on a row or button: its key and its new state.
  PanelQt(const std::string& carpetaAssets,
          std::function<void(const std::string&, bool)> alCambiar);
  ~PanelQt() override;

  Rect marco() override;
  void moverA(const Punto& origen) override;
  void aplicar(const Disposicion& disposicion) override;
  void ponerPista(const std::string& pista) override;
  bool visible() override;
  void mostrar() override;
  void ocultar() override;
  double anchoDeEtiqueta(const std::string& etiqueta) override;

 private:
  // Where the screen space's origin lies in Qt's: the primary screen's bottom-left corner.
  QPointF origenDePantallas();
  // Marks the window as the bar while it is hidden, where the window manager reads it.
  void prepararVentana();

  std::unique_ptr<QWidget> ventana_;
  VistaBarra* vista_;
  std::vector<Interruptor*> filas_;  // the five rows, then the two buttons
};

// Makes tildo-ax see the rows as push buttons named by their title (by their hint when the
// title is empty), checked when on, with a press action that flips them like a click.
void publicarInterruptores();

}  // namespace tildo::ui
