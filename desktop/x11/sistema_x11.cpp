#include "desktop/x11/sistema_x11.h"

#include "desktop/x11/conexion.h"
#include "desktop/x11/duenos_x11.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {

std::string SistemaX11::direccionDeAccesibilidad() {
  return servidor_.direccionDeAccesibilidad();
}

std::optional<int32_t> SistemaX11::pidActivo() {
  const Window activa = servidor_.activa();
  if (!activa) return std::nullopt;
  return servidor_.pidDe(activa);
}

bool SistemaX11::tieneVentanaEn(int32_t pid, Punto p) {
  for (Window w : servidor_.clientes().value_or(std::vector<Window>{})) {
    if (servidor_.pidDe(w) != pid || !servidor_.enPantalla(w)) continue;
    auto m = servidor_.marcoDe(w);
    if (m && p.x >= m->x && p.y >= m->y && p.x < m->x + m->ancho && p.y < m->y + m->alto)
      return true;
  }
  return false;
}

DuenosDeVentanas SistemaX11::duenos() {
  return duenosDeVentanas(conexion_, servidor_);
}

std::optional<Punto> SistemaX11::origenDePantalla() {
  return conexion_.origenPrincipal();
}

}  // namespace tildo
