#pragma once
// The neon hand's window: one frame scaled to 34 × 44, or a cyan arrow when there is none.

#include <QImage>

#include "ui/overlays/qt/superpuesta.h"

namespace tildo::ui {

class VistaCursor : public Superpuesta {
 public:
  using Superpuesta::Superpuesta;

  QImage cuadro;  // null: the arrow

 protected:
  void pintar(QPainter& pintor) const override;
};

}  // namespace tildo::ui
