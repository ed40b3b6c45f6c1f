#pragma once
// The workspace port on the real Linux desktop: the running applications from the
// accessibility registry joined with the owners of windows.

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "desktop/accesibilidad.h"
#include "desktop/fuente_ventanas.h"
#include "desktop/sistema_de_ventanas.h"

namespace tildo {

struct SesionAtspi;

class EspacioLinux : public Espacio {
 public:
  explicit EspacioLinux(SistemaDeVentanas& sistema, FuenteDeVentanas* ventanas = nullptr);
  ~EspacioLinux() override;

  // The registry's applications in its order, then owners of windows that expose no elements.
  std::vector<Aplicacion> aplicaciones() override;
  std::vector<Aplicacion> aplicacionesEsperando() override;
  // The owner of the active window.
  std::optional<Aplicacion> primerPlano() override;
  std::optional<Aplicacion> porPid(int32_t pid) override;
  bool activar(int32_t pid) override;

 private:
  // The list, having waited so long for the applications' names.
  std::vector<Aplicacion> lista(std::chrono::milliseconds espera);
  std::shared_ptr<SesionAtspi> s_;
};

}  // namespace tildo
