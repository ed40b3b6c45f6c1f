// Where the places toolkits give are measured from. On X toolkits give them on the root window,
// one origin for all, except GTK 4, which gives them in its own window as every toolkit does on
// Wayland: there an element's places are its frame's window's content corner, which only the
// window system knows, plus what the toolkit gives.

#include <climits>

#include "desktop/atspi/lote.h"
#include "desktop/atspi/sesion.h"

namespace tildo {

using atspi::ACCESIBLE;
using atspi::identidadDe;
using atspi::Objeto;
using atspi::RAIZ;

bool SesionAtspi::desdeSuVentana(const Objeto& o) {
  return !sistema.origenDePantalla() || kitDeApp(o.bus) == atspi::Kit::gtk4;
}

void SesionAtspi::enMarco(const Objeto& o, const Objeto& marco) {
  if (desdeSuVentana(o)) marcos.insert_or_assign(identidadDe(o), marco);
}

void SesionAtspi::hijosEnMarco(const Objeto& padre, const std::vector<Objeto>& hijos,
                               bool deAplicacion) {
  if (!desdeSuVentana(padre)) return;
  if (deAplicacion) {
    for (const auto& h : hijos) marcos.insert_or_assign(identidadDe(h), h);
    return;
  }
  const auto it = marcos.find(identidadDe(padre));
  if (it == marcos.end()) return;
  const Objeto marco = it->second;
  for (const auto& h : hijos) marcos.insert_or_assign(identidadDe(h), marco);
}

std::optional<Punto> SesionAtspi::origenDe(const Objeto& o) {
  if (!desdeSuVentana(o)) return sistema.origenDePantalla();
  // An application is in no window.
  if (o.ruta == RAIZ) return std::nullopt;
  // The frame is the ancestor whose parent is the application; a walk has told it for the
  // elements it went through.
  std::vector<std::string> camino;
  Objeto actual = o;
  std::optional<Objeto> marco;
  for (int nivel = 0; nivel < 64 && !marco; ++nivel) {
    const std::string id = identidadDe(actual);
    if (auto it = marcos.find(id); it != marcos.end()) {
      marco = it->second;
      break;
    }
    camino.push_back(id);
    auto padre = b().propiedad(actual, ACCESIBLE, "Parent").objeto();
    if (!padre || padre->ruta == "/org/a11y/atspi/null" || *padre == actual) return std::nullopt;
    if (padre->ruta == RAIZ) marco = actual;
    actual = *padre;
  }
  if (!marco) return std::nullopt;
  for (const auto& id : camino) marcos.insert_or_assign(id, *marco);
  return origenDeMarco(*marco);
}

std::optional<Punto> SesionAtspi::origenDeMarco(const Objeto& marco) {
  if (!desdeSuVentana(marco)) return sistema.origenDePantalla();
  const std::string id = identidadDe(marco);
  if (auto it = origenes.find(id); it != origenes.end()) return it->second;
  atspi::Bus& bus = b();
  auto nombre = bus.propiedad(marco, ACCESIBLE, "Name");
  auto extension = atspi::pedirExtension(bus, marco);
  auto pid = bus.conTexto(Objeto{DBUS_SERVICE_DBUS, DBUS_PATH_DBUS}, DBUS_INTERFACE_DBUS,
                          "GetConnectionUnixProcessID", marco.bus);
  std::optional<Punto> origen;
  const auto e = extension.extension();
  const auto p = pid.natural();
  if (e && e->ancho > 0 && e->alto > 0 && p && *p > 0 && *p <= INT32_MAX) {
    // The toolkit gives its frame where its content starts; the window's corner is its origin.
    if (auto o = sistema.origenEnVentana(int32_t(*p), nombre.texto().value_or(""),
                                         Medidas{double(e->ancho), double(e->alto)}))
      origen = Punto{o->x + e->x, o->y + e->y};
  }
  origenes.emplace(id, origen);
  return origen;
}

}  // namespace tildo
