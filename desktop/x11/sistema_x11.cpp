#include "desktop/x11/sistema_x11.h"

#include <limits>

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

std::optional<Punto> SistemaX11::origenEnVentana(int32_t pid, const std::string& titulo,
                                                 Medidas medidas) {
  // The window with the title, else the one closest in size; never one smaller than the frame.
  std::optional<Rect> elegida;
  bool mismoTitulo = false;
  double sobra = std::numeric_limits<double>::infinity();
  for (Window w : servidor_.clientes().value_or(std::vector<Window>{})) {
    if (servidor_.pidDe(w) != pid) continue;
    const auto c = servidor_.contenidoDe(w);
    if (!c || c->ancho < medidas.ancho || c->alto < medidas.alto) continue;
    const double demas = (c->ancho - medidas.ancho) + (c->alto - medidas.alto);
    const bool mismo = !titulo.empty() && servidor_.tituloDe(w) == titulo;
    if (elegida && (mismoTitulo > mismo || (mismoTitulo == mismo && demas >= sobra))) continue;
    elegida = c;
    mismoTitulo = mismo;
    sobra = demas;
  }
  if (!elegida) return std::nullopt;
  // Without a compositor GTK 4 keeps a border for resizing around its frame, the same on every
  // side: the frame sits in the middle of the window.
  return Punto{-(elegida->x + (elegida->ancho - medidas.ancho) / 2),
               -(elegida->y + (elegida->alto - medidas.alto) / 2)};
}

}  // namespace tildo
