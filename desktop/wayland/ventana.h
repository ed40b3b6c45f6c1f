#pragma once
// One window as a Wayland compositor describes it, whichever way it was asked: through sway's
// IPC or the foreign-toplevel protocol.

#include <cstdint>
#include <optional>
#include <string>

#include "desktop/pantallas.h"

namespace tildo {

// Places are in the layout's coordinates.
struct VentanaCompositor {
  // The compositor's own number for the window where it has one (sway's container id); else
  // the run's own count, which means nothing to another run.
  int64_t id = 0;
  bool idPropio = true;
  std::optional<int32_t> pid;
  std::string titulo;
  std::string appId;
  // The frame the user sees, borders and title bar included; nothing where the compositor
  // does not tell.
  std::optional<Rect> marco;
  // The part the application draws, which its toolkit measures its elements from.
  std::optional<Rect> contenido;
  bool visible = false;
  bool enfocada = false;
  bool minimizada = false;
};

}  // namespace tildo
