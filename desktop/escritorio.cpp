#include "desktop/escritorio.h"

#include <cstdlib>

#include "common/fallo.h"
#include "desktop/linux/escritorio_linux.h"
#include "desktop/simulated/simulado.h"
#include "desktop/x11/conexion.h"

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
  auto conexion = std::make_unique<ConexionX11>();
  if (conexion->pantalla()) return std::make_unique<EscritorioLinux>(std::move(conexion));
  return std::make_unique<EscritorioInalcanzable>();
}

}  // namespace tildo
