#include "desktop/atspi/lote.h"

#include <algorithm>

#include "desktop/atspi/roles.h"

namespace tildo::atspi {

Llamada pedirExtension(atspi::Bus& bus, const Objeto& o) {
  return bus.conEnteros(o, COMPONENTE, "GetExtents", {}, ATSPI_COORD_TYPE_SCREEN);
}

std::shared_ptr<Lote> pedirLote(atspi::Bus& bus, const Objeto& o, Kit kit, bool conMarco) {
  auto l = std::make_shared<Lote>();
  l->kit = kit;
  l->rol = bus.metodo(o, ACCESIBLE, "GetRole");
  if (kit == Kit::gtk || kit == Kit::gtk4 || kit == Kit::chromium) {
    l->propiedades = bus.conTexto(o, DBUS_INTERFACE_PROPERTIES, "GetAll", ACCESIBLE);
  } else {
    l->nombre = bus.propiedad(o, ACCESIBLE, "Name");
    l->descripcion = bus.propiedad(o, ACCESIBLE, "Description");
    l->cuantosHijos = bus.propiedad(o, ACCESIBLE, "ChildCount");
  }
  l->estados = bus.metodo(o, ACCESIBLE, "GetState");
  l->interfaces = bus.metodo(o, ACCESIBLE, "GetInterfaces");
  if (conMarco) pedirMarco(bus, o, *l);
  return l;
}

std::shared_ptr<Lote> loteDeCache(atspi::Bus& bus, std::shared_ptr<const ItemDeCache> item,
                                  std::optional<std::vector<Objeto>> hijos, Kit kit,
                                  bool conMarco) {
  auto l = std::make_shared<Lote>();
  l->kit = kit;
  l->item = item;
  l->hijosDeCache = std::move(hijos);
  // GTK 3 gives widgets that are not showing no extents; other toolkits give them real ones
  // (GTK 4 sets the showing state on windows only).
  l->sinExtension = kit == Kit::gtk && !tieneEstado(item->estados, ATSPI_STATE_SHOWING);
  if (conMarco) pedirMarco(bus, item->objeto, *l);
  return l;
}

void pedirMarco(atspi::Bus& bus, const Objeto& o, Lote& l) {
  if (l.sinExtension || l.extension.enviada()) return;
  l.extension = pedirExtension(bus, o);
}

void completar(atspi::Bus& bus, const Objeto& o, Lote& l, bool adelantado) {
  if (l.completo) return;
  // Waiting for the first answers may run the steps that ask ahead, which complete the batch
  // themselves.
  const auto cuantos = l.cuantos();
  const auto interfaces = l.interfacesAtspi().value_or(std::vector<std::string>{});
  const auto rol = static_cast<AtspiRole>(l.rolAtspi().value_or(ATSPI_ROLE_INVALID));
  if (l.completo) return;
  l.completo = true;
  if (!l.hijosDeCache) {
    l.sinHijos = cuantos == 0;
    if (!l.sinHijos) l.hijos = bus.metodo(o, ACCESIBLE, "GetChildren");
  }
  auto tiene = [&](const char* i) {
    return std::find(interfaces.begin(), interfaces.end(), i) != interfaces.end();
  };
  if (esNumerico(rol) && tiene("org.a11y.atspi.Value"))
    l.valor = bus.propiedad(o, "org.a11y.atspi.Value", "CurrentValue");
  if (!esMarcable(rol) && tiene("org.a11y.atspi.Text"))
    l.texto = bus.conEnteros(o, "org.a11y.atspi.Text", "GetText", {0, -1});
  l.conAcciones = tiene(ACCION);
  // Read as it comes, a few names are guessed at along with their number.
  if (!adelantado) pedirAcciones(bus, o, l, 3);
}

void pedirAcciones(atspi::Bus& bus, const Objeto& o, Lote& l, int32_t nombres) {
  if (!l.conAcciones || l.cuantasAcciones.enviada() || l.todasLasAcciones.enviada()) return;
  // Qt's GetActions names the actions as GetName does; GTK's gives localized names.
  if (l.kit == Kit::qt) {
    l.todasLasAcciones = bus.metodo(o, ACCION, "GetActions");
    return;
  }
  l.cuantasAcciones = bus.propiedad(o, ACCION, "NActions");
  for (int32_t i = static_cast<int32_t>(l.acciones.size()); i < nombres; ++i)
    l.acciones.push_back(bus.conEnteros(o, ACCION, "GetName", {i}));
}

std::optional<Valor> rolAx(AtspiRole r, Lote& l) {
  if (r == ATSPI_ROLE_INVALID) return std::nullopt;
  // A one-line text is a field; the toolkits give both kinds the same role.
  if (r == ATSPI_ROLE_TEXT) {
    auto e = l.estadosAtspi();
    if (e && tieneEstado(*e, ATSPI_STATE_SINGLE_LINE)) return Valor(std::string("AXTextField"));
  }
  const Rol* x = rolDe(r);
  return Valor(std::string(x ? x->rol : "AXGroup"));
}

std::optional<Valor> valorAx(AtspiRole r, Lote& l) {
  if (esMarcable(r)) {
    auto e = l.estadosAtspi();
    if (!e) return std::nullopt;
    const bool marcado =
        tieneEstado(*e, ATSPI_STATE_CHECKED) || tieneEstado(*e, ATSPI_STATE_PRESSED);
    return Valor(int64_t{marcado ? 1 : 0});
  }
  if (esNumerico(r)) {
    if (auto n = l.valor.numero()) return Valor(*n);
  }
  if (auto t = l.texto.texto()) {
    if (auto propio = textoPropio(std::move(*t))) return Valor(std::move(*propio));
  }
  return std::nullopt;
}

Resumen resumenSinValor(Lote& l) {
  Resumen r;
  r.rol = rolAx(static_cast<AtspiRole>(l.rolAtspi().value_or(ATSPI_ROLE_INVALID)), l);
  if (auto t = l.titulo()) r.titulo = Valor(std::move(*t));
  if (auto d = l.descripcionAtspi()) r.descripcion = Valor(std::move(*d));
  return r;
}

bool paginaDeHijos(Lote& l) {
  return l.enPagina || l.rolAtspi() == static_cast<uint32_t>(ATSPI_ROLE_DOCUMENT_WEB);
}

Rasgos rasgosDe(Lote& l) {
  Rasgos r;
  r.rol = l.rolAtspi();
  r.estados = l.estadosAtspi();
  r.nombre = l.titulo();
  r.descripcion = l.descripcionAtspi();
  r.interfaces = l.interfacesAtspi();
  r.soloVisible = l.kit == Kit::gtk4 || l.enPagina;
  return r;
}

bool rasgosListos(const Lote& l) {
  if (l.item) return true;
  const bool nombres =
      l.propiedades.enviada() ? l.propiedades.lista() : l.nombre.lista() && l.descripcion.lista();
  return nombres && l.rol.lista() && l.estados.lista() && l.interfaces.lista();
}

void completarRasgos(Lote& l, Rasgos& r) {
  if (l.texto.enviada()) r.texto = l.texto.texto();
  if (l.todasLasAcciones.enviada()) {
    if (auto a = l.todasLasAcciones.acciones()) r.acciones = static_cast<int32_t>(a->size());
  } else if (l.cuantasAcciones.enviada()) {
    r.acciones = l.cuantasAcciones.entero();
  }
}

std::optional<std::vector<Objeto>> hijosDe(Lote& l) {
  if (l.sinHijos) return std::vector<Objeto>{};
  if (l.hijosDeCache) return l.hijosDeCache;
  return l.hijos.objetos();
}
}  // namespace tildo::atspi
