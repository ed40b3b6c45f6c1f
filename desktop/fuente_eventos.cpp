#include "desktop/fuente_eventos.h"

#include <cstdlib>

#include "desktop/simulated/eventos_simulados.h"
#include "desktop/x11/eventos_x11.h"

namespace tildo {

AperturaDeEventos abrirFuenteDeEventos() {
  const char* descripcion = std::getenv("TILDO_ESCRITORIO");
  if (descripcion && *descripcion) return abrirEventosSimulados(descripcion);
  // A Wayland compositor tells each client only of the input aimed at its own windows; the X
  // display it may also offer (XWayland) hears only its X clients, which would look like a user
  // who never touches anything.
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  if (wayland && *wayland)
    return {nullptr,
            "en una sesión Wayland el compositor no deja a ningún programa oír la entrada de "
            "todo el escritorio (WAYLAND_DISPLAY)"};
  return abrirEventosX11();
}

}  // namespace tildo
