// The focused element of an application (its "AXFocusedUIElement").

#include <algorithm>
#include <array>
#include <set>

#include "desktop/atspi/elemento_atspi.h"
#include "desktop/atspi/marcos.h"
#include "desktop/atspi/roles.h"
#include "desktop/atspi/vista.h"

namespace tildo::atspi {

namespace {

// The application's own search for the first focused element below the element: a match rule
// of the Collection interface (states, attributes, roles, interfaces, each with how it
// matches, and whether to invert), in canonical order. Nothing when the toolkit has no search.
std::optional<std::vector<Objeto>> focoPorColeccion(atspi::Bus& bus, const Objeto& raiz) {
  DBusMessage* m = atspi::llamadaA(raiz, "org.a11y.atspi.Collection", "GetMatches");
  if (!m) return std::nullopt;
  DBusMessageIter it, regla, lista, dicc;
  dbus_message_iter_init_append(m, &it);
  dbus_message_iter_open_container(&it, DBUS_TYPE_STRUCT, nullptr, &regla);
  const int32_t todos = ATSPI_Collection_MATCH_ALL;
  const std::array<int32_t, 2> estados = {int32_t(1u << ATSPI_STATE_FOCUSED), 0};
  dbus_message_iter_open_container(&regla, DBUS_TYPE_ARRAY, "i", &lista);
  for (int32_t e : estados) dbus_message_iter_append_basic(&lista, DBUS_TYPE_INT32, &e);
  dbus_message_iter_close_container(&regla, &lista);
  dbus_message_iter_append_basic(&regla, DBUS_TYPE_INT32, &todos);
  dbus_message_iter_open_container(&regla, DBUS_TYPE_ARRAY, "{ss}", &dicc);
  dbus_message_iter_close_container(&regla, &dicc);
  dbus_message_iter_append_basic(&regla, DBUS_TYPE_INT32, &todos);
  dbus_message_iter_open_container(&regla, DBUS_TYPE_ARRAY, "i", &lista);
  dbus_message_iter_close_container(&regla, &lista);
  dbus_message_iter_append_basic(&regla, DBUS_TYPE_INT32, &todos);
  dbus_message_iter_open_container(&regla, DBUS_TYPE_ARRAY, "s", &lista);
  dbus_message_iter_close_container(&regla, &lista);
  dbus_message_iter_append_basic(&regla, DBUS_TYPE_INT32, &todos);
  dbus_bool_t invertir = false;
  dbus_message_iter_append_basic(&regla, DBUS_TYPE_BOOLEAN, &invertir);
  dbus_message_iter_close_container(&it, &regla);
  const uint32_t orden = ATSPI_Collection_SORT_ORDER_CANONICAL;
  const int32_t cuantos = 1;
  dbus_bool_t recorrer = true;
  dbus_message_iter_append_basic(&it, DBUS_TYPE_UINT32, &orden);
  dbus_message_iter_append_basic(&it, DBUS_TYPE_INT32, &cuantos);
  dbus_message_iter_append_basic(&it, DBUS_TYPE_BOOLEAN, &recorrer);
  auto l = bus.enviar(m);
  if (l.fallida()) return std::nullopt;
  return l.objetos();
}

// The first focused element below the element, by the application's own search when it has
// one, else by a walk through what is showing, bounded in elements looked at (`presupuesto`)
// and never entering an element twice (trees can loop back on themselves).
std::optional<Objeto> focoBajo(atspi::Bus& bus, const Objeto& raiz, Kit kit, int profundidad,
                               int& presupuesto, std::set<std::string>& vistos) {
  if (auto hallados = focoPorColeccion(bus, raiz)) {
    if (hallados->empty()) return std::nullopt;
    return hallados->front();
  }
  if (profundidad <= 0) return std::nullopt;
  auto hijos = bus.metodo(raiz, ACCESIBLE, "GetChildren").objetos().value_or(std::vector<Objeto>{});
  // No more is asked than the budget can look at.
  hijos.resize(std::min(hijos.size(), static_cast<size_t>(std::max(presupuesto, 0))));
  std::vector<Llamada> estados;
  for (const auto& h : hijos) estados.push_back(bus.metodo(h, ACCESIBLE, "GetState"));
  for (size_t i = 0; i < hijos.size() && presupuesto-- > 0; ++i) {
    auto e = estados[i].naturales();
    if (!e) continue;
    if (tieneEstado(*e, ATSPI_STATE_FOCUSED)) return hijos[i];
    if (seMuestra(*e, kit == Kit::gtk4) && vistos.insert(identidadDe(hijos[i])).second)
      if (auto f = focoBajo(bus, hijos[i], kit, profundidad - 1, presupuesto, vistos)) return f;
  }
  return std::nullopt;
}

}  // namespace

ElementoRef ElementoAtspi::enfocado() {
  auto marcos = marcosDe(bus(), o_);
  activasPrimero(marcos);
  const Kit kit = s_->kitDeApp(o_.bus);
  for (auto& m : marcos) {
    int presupuesto = 5000;
    std::set<std::string> vistos{identidadDe(m.o)};
    if (auto f = focoBajo(bus(), m.o, kit, 30, presupuesto, vistos)) {
      s_->enMarco(*f, m.o);
      return std::make_shared<ElementoAtspi>(s_, *f);
    }
  }
  return nullptr;
}
}  // namespace tildo::atspi
