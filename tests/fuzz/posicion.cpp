// The bar's position file on arbitrary bytes: the launch origin is always a point inside the
// visible frame, and the file written for a bar at that origin reads back to the same place
// (to within the truncation to whole points) and the same size.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ui/bar/leer_posicion.h"
#include "ui/bar/posicion.h"

namespace {

using tildo::Punto;
using tildo::Rect;

const Rect VISIBLE{0, 0, 1280, 770};
const Rect PANEL{0, 0, 312, 72};
constexpr double ALTURA = 800;

bool dentro(Punto p) {
  return std::isfinite(p.x) && std::isfinite(p.y) && p.x >= VISIBLE.x &&
         p.x + PANEL.ancho <= VISIBLE.x + VISIBLE.ancho && p.y >= VISIBLE.y &&
         p.y + PANEL.alto <= VISIBLE.y + VISIBLE.alto;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  const std::string bytes(reinterpret_cast<const char*>(datos), tamano);
  const auto posicion = tildo::ui::leerPosicion(bytes);
  if (posicion && !posicion->is_object()) std::abort();
  const Punto origen = tildo::ui::origenAlColocar(posicion, VISIBLE, ALTURA, PANEL);
  if (posicion && !dentro(origen)) std::abort();
  const bool compacta = tildo::ui::compactaSegun(posicion);
  if (!posicion) return 0;

  const Rect panel{origen.x, origen.y, PANEL.ancho, PANEL.alto};
  const auto texto = tildo::ui::textoDePosicion(panel, ALTURA, compacta);
  if (!texto) std::abort();
  const auto releida = tildo::ui::leerPosicion(*texto);
  if (!releida || tildo::ui::compactaSegun(releida) != compacta) std::abort();
  const Punto otra = tildo::ui::origenAlColocar(releida, VISIBLE, ALTURA, PANEL);
  if (std::abs(otra.x - origen.x) >= 1 || std::abs(otra.y - origen.y) >= 1) std::abort();
  if ((*releida)["w"] != PANEL.ancho || (*releida)["h"] != PANEL.alto) std::abort();
  return 0;
}
