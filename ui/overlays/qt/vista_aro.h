#pragma once
// The ring's window: a pulsing cyan ring around a point, its centre dot and an optional caption.

#include <string>

#include "desktop/entrada.h"
#include "ui/overlays/geometria.h"
#include "ui/overlays/qt/superpuesta.h"

namespace tildo::ui {

class VistaAro : public Superpuesta {
 public:
  using Superpuesta::Superpuesta;

  double t = 0;  // animation time
  double radio = RADIO_DEL_ARO;
  Punto centro;  // in the view, from its bottom-left corner
  std::string etiqueta;

 protected:
  void pintar(QPainter& pintor) const override;
};

}  // namespace tildo::ui
