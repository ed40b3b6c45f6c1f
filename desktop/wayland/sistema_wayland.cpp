#include "desktop/wayland/sistema_wayland.h"

#include <algorithm>
#include <cmath>

namespace tildo {

const std::vector<VentanaCompositor>& SistemaWayland::todas() {
  if (!todas_) todas_ = ventanas_ ? ventanas_->todas() : std::vector<VentanaCompositor>{};
  return *todas_;
}

std::optional<int32_t> SistemaWayland::pidActivo() {
  for (const auto& v : todas())
    if (v.enfocada) return v.pid;
  return std::nullopt;
}

bool SistemaWayland::tieneVentanaEn(int32_t pid, Punto p) {
  if (!ventanas_) return false;
  const Punto o = ventanas_->origen();
  for (const auto& v : todas()) {
    if (!v.visible || !v.marco || !ventanas_->esDe(v, pid)) continue;
    const Rect& m = *v.marco;
    const double x = p.x + o.x, y = p.y + o.y;
    if (x >= m.x && y >= m.y && x < m.x + m.ancho && y < m.y + m.alto) return true;
  }
  return false;
}

DuenosDeVentanas SistemaWayland::duenos() {
  DuenosDeVentanas d;
  for (const auto& v : todas()) {
    if (!v.pid) continue;
    d.pids.push_back(*v.pid);
    if (!v.appId.empty()) d.bundles.try_emplace(*v.pid, v.appId);
  }
  return d;
}

std::optional<Punto> SistemaWayland::origenEnVentana(int32_t pid, const std::string& titulo,
                                                     Medidas medidas) {
  if (!ventanas_) return std::nullopt;
  // The title counts first, then the content's size; a process's only window is its frame's
  // whatever they say.
  const VentanaCompositor* elegida = nullptr;
  int mejor = -1, suyas = 0;
  for (const auto& v : todas()) {
    if (!v.contenido || !ventanas_->esDe(v, pid)) continue;
    ++suyas;
    const Rect& c = *v.contenido;
    const bool mismasMedidas =
        std::fabs(c.ancho - medidas.ancho) < 1 && std::fabs(c.alto - medidas.alto) < 1;
    const int puntos = (v.titulo == titulo ? 2 : 0) + (mismasMedidas ? 1 : 0);
    if (puntos > mejor) {
      elegida = &v;
      mejor = puntos;
    }
  }
  if (mejor == 0 && suyas > 1) elegida = nullptr;
  if (!elegida) return std::nullopt;
  // sway centres a surface smaller than the room it gives it (a dialog of fixed size placed
  // larger), and clips one larger at the room's corner.
  const Rect& c = *elegida->contenido;
  const Punto o = ventanas_->origen();
  return Punto{o.x - (c.x + std::max(0.0, (c.ancho - medidas.ancho) / 2)),
               o.y - (c.y + std::max(0.0, (c.alto - medidas.alto) / 2))};
}

}  // namespace tildo
