#include "desktop/atspi/gtk4.h"

#include <algorithm>
#include <cctype>
#include <string_view>

#include "desktop/atspi/lote.h"
#include "desktop/atspi/roles.h"

namespace tildo::atspi {

namespace {

// One identifier in camel case, as class names are: a capital first, letters, digits or
// underscores, and a capital after a small letter somewhere.
bool esNombreDeClase(std::string_view t) {
  if (t.empty() || !std::isupper(static_cast<unsigned char>(t[0]))) return false;
  bool joroba = false;
  for (size_t i = 0; i < t.size(); ++i) {
    const auto c = static_cast<unsigned char>(t[i]);
    if (!std::isalnum(c) && c != '_') return false;
    if (i > 0 && std::isupper(c) && std::islower(static_cast<unsigned char>(t[i - 1])))
      joroba = true;
  }
  return joroba;
}

// How many elements a search by extents looks at, at most.
constexpr int MIRADOS_MAXIMOS = 3000;

// The deepest element below `padre` under the point, later children first (they are drawn
// above the earlier ones). Children without extents (the pages of a stack) are looked into
// too; visible children with an empty size are not.
std::optional<Objeto> bajo(Bus& bus, const Objeto& padre, Punto p, int profundidad,
                           int& presupuesto) {
  if (profundidad <= 0 || presupuesto <= 0) return std::nullopt;
  auto hijos =
      bus.metodo(padre, ACCESIBLE, "GetChildren").objetos().value_or(std::vector<Objeto>{});
  hijos.resize(std::min(hijos.size(), static_cast<size_t>(presupuesto)));
  presupuesto -= static_cast<int>(hijos.size());
  std::vector<Llamada> extensiones, estados;
  for (const auto& h : hijos) {
    extensiones.push_back(pedirExtension(bus, h));
    estados.push_back(bus.metodo(h, ACCESIBLE, "GetState"));
  }
  for (size_t i = hijos.size(); i-- > 0;) {
    const auto e = estados[i].naturales();
    if (!e || !tieneEstado(*e, ATSPI_STATE_VISIBLE)) continue;
    const auto r = extensiones[i].extension();
    if (!r) {
      if (auto hondo = bajo(bus, hijos[i], p, profundidad - 1, presupuesto)) return hondo;
      continue;
    }
    if (r->ancho <= 0 || r->alto <= 0 || p.x < r->x || p.y < r->y ||
        p.x >= double(r->x) + r->ancho || p.y >= double(r->y) + r->alto)
      continue;
    return bajo(bus, hijos[i], p, profundidad - 1, presupuesto).value_or(hijos[i]);
  }
  return std::nullopt;
}

}  // namespace

Objeto bajoElPunto(Bus& bus, const Objeto& marco, Punto p) {
  int presupuesto = MIRADOS_MAXIMOS;
  return bajo(bus, marco, p, 64, presupuesto).value_or(marco);
}

std::optional<std::string> nombreDeGtk4(std::string nombre) {
  if (esNombreDeClase(nombre)) return std::nullopt;
  const size_t mitad = nombre.size() / 2;
  if (nombre.size() % 2 == 1 && nombre[mitad] == ' ' &&
      nombre.compare(0, mitad, nombre, mitad + 1, mitad) == 0)
    nombre.resize(mitad);
  return nombre;
}

}  // namespace tildo::atspi
