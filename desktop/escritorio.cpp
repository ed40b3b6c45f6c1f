#include "desktop/escritorio.h"

#include <cstdlib>

#include "common/fallo.h"
#include "desktop/simulated/simulado.h"

namespace tildo {
namespace {

std::string variable(const char* nombre) {
  const char* valor = std::getenv(nombre);
  return valor ? valor : "";
}

// No display and no description: every port that would reach the desktop says so.
class EscritorioInalcanzable : public Escritorio {
 public:
  Entrada& entrada() override { inalcanzable(); }
  Pantallas& pantallas() override { inalcanzable(); }
  Accesibilidad& accesibilidad() override { inalcanzable(); }
  Espacio& espacio() override { inalcanzable(); }

 private:
  [[noreturn]] static void inalcanzable() {
    fallo(
        "no hay escritorio al que llegar: ni pantalla X (DISPLAY) ni escritorio simulado "
        "(TILDO_ESCRITORIO)");
  }
};

}  // namespace

std::unique_ptr<Escritorio> abrirEscritorio() {
  const std::string descripcion = variable("TILDO_ESCRITORIO");
  if (!descripcion.empty())
    return std::make_unique<EscritorioSimulado>(descripcion, variable("TILDO_REGISTRO"));
  return std::make_unique<EscritorioInalcanzable>();
}

}  // namespace tildo
