#include "desktop/fuente_eventos.h"

#include <cstdlib>

#include "desktop/simulated/eventos_simulados.h"
#include "desktop/x11/eventos_x11.h"

namespace tildo {

AperturaDeEventos abrirFuenteDeEventos() {
  const char* descripcion = std::getenv("TILDO_ESCRITORIO");
  if (descripcion && *descripcion) return abrirEventosSimulados(descripcion);
  return abrirEventosX11();
}

}  // namespace tildo
