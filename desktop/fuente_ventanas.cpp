#include "desktop/fuente_ventanas.h"

namespace tildo {

std::optional<Valor> AplicacionDeVentanas::atributo(std::string_view nombre) {
  if (nombre == "AXRole") return Valor(std::string("AXApplication"));
  if (nombre == "AXWindows") return Valor(fuente_.ventanas(pid_));
  ElementoRef ventana;
  if (nombre == "AXMainWindow") ventana = fuente_.principal(pid_);
  if (nombre == "AXFocusedWindow") ventana = fuente_.enfocada(pid_);
  if (!ventana) return std::nullopt;
  return Valor(ventana);
}

}  // namespace tildo
