#pragma once
// The accessibility port on the real Linux desktop: elements through AT-SPI (method calls on
// the accessibility bus), shaped as the platform's ("AXButton", "AXTitle", "AXPress"), in
// global points.

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "desktop/accesibilidad.h"
#include "desktop/fuente_ventanas.h"
#include "desktop/sistema_de_ventanas.h"

namespace tildo {

struct SesionAtspi;

class AccesibilidadAtspi : public Accesibilidad {
 public:
  // Without a window source, an application's windows are its AT-SPI frames and dialogs,
  // which can be read but neither moved nor minimised.
  explicit AccesibilidadAtspi(SistemaDeVentanas& sistema, FuenteDeVentanas* ventanas = nullptr);
  ~AccesibilidadAtspi() override;

  ElementoRef aplicacion(int32_t pid) override;
  ElementoRef elementoEn(float x, float y) override;
  // Whether the accessibility bus answers: on Linux nothing else stands between a process and
  // the elements of others.
  bool confiable() override;

 private:
  std::shared_ptr<SesionAtspi> s_;
};

}  // namespace tildo
