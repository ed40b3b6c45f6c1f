#include "desktop/atspi/vista.h"

#include <algorithm>

#include "desktop/atspi/roles.h"

namespace tildo::atspi {

namespace {

constexpr std::string_view OBJETO_INCRUSTADO = "\xEF\xBF\xBC";  // U+FFFC in UTF-8

// Roles that only group what they hold: the toolkits give them to their generic boxes (GTK's
// boxes and grids, Qt's plain widgets, LibreOffice's panes, the web's divs).
bool soloAgrupa(uint32_t rol) {
  switch (static_cast<AtspiRole>(rol)) {
    case ATSPI_ROLE_FILLER:
    case ATSPI_ROLE_PANEL:
    case ATSPI_ROLE_SECTION:
    case ATSPI_ROLE_REDUNDANT_OBJECT:
    case ATSPI_ROLE_UNKNOWN:
    case ATSPI_ROLE_ROOT_PANE:
    case ATSPI_ROLE_LAYERED_PANE:
    case ATSPI_ROLE_GLASS_PANE:
    case ATSPI_ROLE_VIEWPORT:
      return true;
    default:
      return false;
  }
}

bool tiene(const std::vector<std::string>& interfaces, std::string_view i) {
  return std::find(interfaces.begin(), interfaces.end(), i) != interfaces.end();
}

}  // namespace

bool agrupaSinMas(const Rasgos& r) {
  if (!r.rol || !soloAgrupa(*r.rol) || !r.interfaces) return false;
  if (!r.nombre || !r.nombre->empty() || !r.descripcion || !r.descripcion->empty()) return false;
  return !tiene(*r.interfaces, "org.a11y.atspi.Value");
}

bool seMuestra(const std::vector<uint32_t>& estados, bool soloVisible) {
  return tieneEstado(estados, ATSPI_STATE_SHOWING) ||
         (soloVisible && tieneEstado(estados, ATSPI_STATE_VISIBLE));
}

Presencia presencia(const Rasgos& r, bool deAplicacion) {
  if (deAplicacion) return Presencia::visible;
  if (r.estados && !seMuestra(*r.estados, r.soloVisible)) return Presencia::oculto;
  if (!agrupaSinMas(r)) return Presencia::visible;
  // What it acts on or says is its own: it is no mere layout.
  if (r.acciones.value_or(0) > 0) return Presencia::visible;
  if (r.texto && !textoPropio(*r.texto).value_or("").empty()) return Presencia::visible;
  const bool conTexto = tiene(*r.interfaces, "org.a11y.atspi.Text");
  const bool conAcciones = tiene(*r.interfaces, "org.a11y.atspi.Action");
  if ((conTexto && !r.texto) || (conAcciones && !r.acciones)) return Presencia::visible;
  return Presencia::soloDisposicion;
}

std::optional<std::string> textoPropio(std::string texto) {
  if (texto.find(OBJETO_INCRUSTADO) == std::string::npos) return texto;
  std::string propio;
  propio.reserve(texto.size());
  for (size_t i = 0; i < texto.size();) {
    if (texto.compare(i, OBJETO_INCRUSTADO.size(), OBJETO_INCRUSTADO) == 0) {
      i += OBJETO_INCRUSTADO.size();
    } else {
      propio += texto[i++];
    }
  }
  if (propio.empty()) return std::nullopt;
  return propio;
}

}  // namespace tildo::atspi
