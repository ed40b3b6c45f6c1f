#pragma once
// The screens and the window server of the simulated desktop, read from its description.

#include "desktop/pantallas.h"
#include "desktop/simulated/simulado.h"

namespace tildo {

class PantallasSimuladas : public Pantallas {
 public:
  explicit PantallasSimuladas(DescripcionSimulada& descripcion) : d_(descripcion) {}
  Rect limitesPrincipal() override;
  int64_t pixelesAncho() override;
  int64_t pixelesAlto() override;
  std::vector<Pantalla> pantallas() override;
  std::optional<Pantalla> principal() override;
  Punto puntero() override;
  std::optional<std::vector<DatosVentana>> listaVentanas() override;
  std::string versionSistema() override;
  bool capturaPermitida() override;

 private:
  DescripcionSimulada& d_;
};

}  // namespace tildo
