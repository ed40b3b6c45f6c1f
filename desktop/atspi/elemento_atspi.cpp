#include "desktop/atspi/elemento_atspi.h"

#include <algorithm>
#include <climits>

#include "desktop/atspi/chromium.h"
#include "desktop/atspi/marcos.h"
#include "desktop/atspi/roles.h"
#include "desktop/atspi/vista.h"
#include "desktop/pantallas.h"

namespace tildo::atspi {

namespace {

// A frame from an answer of GetExtents in screen pixels, in global points.
std::optional<Rect> marcoDe(std::optional<atspi::Extension> e, Punto origen) {
  // Widgets that are not on screen report the smallest coordinate or a negative size, which
  // is no frame at all.
  if (!e || e->x == INT32_MIN || e->y == INT32_MIN || e->ancho < 0 || e->alto < 0)
    return std::nullopt;
  return Rect{e->x - origen.x, e->y - origen.y, double(e->ancho), double(e->alto)};
}

}  // namespace

void Hermanos::adelantar(size_t desde, size_t cuantos) {
  for (size_t i = desde; i < lista.size() && i < desde + cuantos; ++i)
    if (auto h = lista[i].lock()) h->preguntar();
}

void Hermanos::completarListos(size_t desde) {
  for (size_t i = desde; i < lista.size() && i < desde + ADELANTO; ++i)
    if (auto h = lista[i].lock()) h->completarSiListo();
}

void ElementoAtspi::despertar() {
  if (despierta_) return;
  despierta_ = true;
  if (s_->kitDeApp(o_.bus) != Kit::chromium || !despertarChromium(*s_, o_)) return;
  // What was read so far, and asked ahead, was the tree asleep.
  lote_.reset();
  if (profundidad_) anticipar(*profundidad_, entero_);
}

std::optional<Valor> ElementoAtspi::atributo(std::string_view nombre) {
  if (pid_ && (nombre == "AXWindows" || nombre == "AXMainWindow" || nombre == "AXFocusedWindow"))
    return ventanas(nombre);
  if (pid_ && nombre == "AXFocusedUIElement") {
    despertar();
    if (auto e = enfocado()) return Valor(e);
    return std::nullopt;
  }
  if (nombre == "AXRole") {
    Lote& l = lote(nombre);
    return rolAx(rol(l), l);
  }
  if (nombre == "AXSubrole") {
    const Rol* x = rolDe(rol(lote(nombre)));
    if (!x || !x->subrol) return std::nullopt;
    return Valor(std::string(x->subrol));
  }
  if (nombre == "AXTitle" || nombre == "AXDescription") {
    Lote& l = lote(nombre);
    auto t = nombre == "AXTitle" ? l.titulo() : l.descripcionAtspi();
    if (!t) return std::nullopt;
    return Valor(std::move(*t));
  }
  if (nombre == "AXValue") {
    Lote& l = loteCompleto(nombre);
    return valorAx(rol(l), l);
  }
  if (nombre == "AXPlaceholderValue") {
    auto p = bus().metodo(o_, ACCESIBLE, "GetAttributes").atributo("placeholder-text");
    if (!p) return std::nullopt;
    return Valor(std::move(*p));
  }
  if (nombre == "AXPosition" || nombre == "AXSize") {
    const auto origen = s_->origenDe(o_);
    Lote& l = lote(nombre);
    pedirMarco(bus(), o_, l);
    auto m = origen ? marcoDe(l.extensionAtspi(), *origen) : std::nullopt;
    if (!m) return std::nullopt;
    if (nombre == "AXPosition") return Valor(Punto{m->x, m->y});
    return Valor(Medidas{m->ancho, m->alto});
  }
  if (nombre == "AXEnabled" || nombre == "AXFocused" || nombre == "AXMinimized") {
    if (nombre == "AXMinimized" && !esVentana(rol(lote_ ? *lote_ : lote("AXRole"))))
      return std::nullopt;
    const AtspiStateType estado = nombre == "AXEnabled"   ? ATSPI_STATE_ENABLED
                                  : nombre == "AXFocused" ? ATSPI_STATE_FOCUSED
                                                          : ATSPI_STATE_ICONIFIED;
    auto e = estados(nombre);
    if (!e) return std::nullopt;
    // GTK 4 never sets the enabled state; "sensitive" says the same. GTK 3 drops "enabled"
    // from a toggle in its mixed state, which is still usable, as a mixed checkbox is enabled
    // for the platform's accessibility; the other toolkits set the two together.
    if (estado == ATSPI_STATE_ENABLED && tieneEstado(*e, ATSPI_STATE_SENSITIVE)) return Valor(true);
    return Valor(tieneEstado(*e, estado));
  }
  if (nombre == "AXChildren") {
    if (pid_) despertar();
    auto crudos = hijosCrudos();
    if (!crudos) return std::nullopt;
    const bool deAplicacion = pid_ || o_.ruta == RAIZ;
    if (deAplicacion) return Valor(std::vector<ElementoRef>(crudos->begin(), crudos->end()));
    const size_t decididos = std::min(crudos->size(), PRESENCIAS_MAXIMAS);
    auto vistos = presentados<std::shared_ptr<ElementoAtspi>>(
        {crudos->begin(), crudos->begin() + decididos}, [](auto& h) { return h->presencia(false); },
        [](auto& h) {
          return h->hijosCrudos().value_or(std::vector<std::shared_ptr<ElementoAtspi>>{});
        });
    std::vector<ElementoRef> hijos(vistos.begin(), vistos.end());
    hijos.insert(hijos.end(), crudos->begin() + decididos, crudos->end());
    return Valor(std::move(hijos));
  }
  if (nombre == "AXParent") {
    if (pid_) return std::nullopt;
    // The parent a user sees: layout elements above give way to the one that holds them.
    Objeto actual = o_;
    for (int nivel = 0; nivel < 64; ++nivel) {
      auto p = bus().propiedad(actual, ACCESIBLE, "Parent").objeto();
      // Above an application there is only the registry's desktop, which is no element.
      if (!p || p->ruta == "/org/a11y/atspi/null" || p->ruta == RAIZ || *p == actual)
        return std::nullopt;
      auto padre = std::make_shared<ElementoAtspi>(s_, *p);
      if (padre->presencia(false) != Presencia::soloDisposicion) return Valor(ElementoRef(padre));
      actual = *p;
    }
  }
  return std::nullopt;
}

std::optional<std::vector<std::shared_ptr<ElementoAtspi>>> ElementoAtspi::hijosCrudos() {
  Lote& l = loteCompleto("AXChildren");
  auto objetos = hijosDe(l);
  if (!objetos) return std::nullopt;
  l.hijosEntregados = true;
  s_->hijosEnMarco(o_, *objetos, pid_ || o_.ruta == RAIZ);
  auto grupo = std::make_shared<Hermanos>();
  const bool enPagina = paginaDeHijos(l);
  std::vector<std::shared_ptr<ElementoAtspi>> hijos;
  hijos.reserve(objetos->size());
  for (size_t i = 0; i < objetos->size(); ++i) {
    auto h = std::make_shared<ElementoAtspi>(s_, (*objetos)[i]);
    h->enPagina_ = enPagina;
    if (i < l.deHijos.size()) h->lote_ = std::move(l.deHijos[i]);
    h->hermanos(grupo, i);
    grupo->lista.push_back(h);
    hijos.push_back(std::move(h));
  }
  l.deHijos.clear();
  grupo->adelantar(0);
  return hijos;
}

Presencia ElementoAtspi::presencia(bool deAplicacion) {
  if (deAplicacion) return Presencia::visible;
  preguntar();
  if (auto g = hermanos_ ? hermanos_ : grupo_) g->adelantar(indice_ + 1, ADELANTO_DE_PRESENCIA);
  Rasgos r = rasgosDe(*lote_);
  // Text and actions decide only for what may be a layout element, and are asked of it alone.
  if (agrupaSinMas(r)) {
    completar(bus(), o_, *lote_);
    pedirAcciones(bus(), o_, *lote_, 0);
    completarRasgos(*lote_, r);
  }
  return atspi::presencia(r, false);
}

// The actions' own names (the localized ones are for people).
std::vector<std::string> ElementoAtspi::nombresCrudos() {
  Lote& l = loteCompleto("acciones");
  pedirAcciones(bus(), o_, l, 3);
  if (l.todasLasAcciones.enviada())
    return l.todasLasAcciones.acciones().value_or(std::vector<std::string>{});
  const int32_t n = std::min(l.cuantasAcciones.entero().value_or(0), ACCIONES_MAXIMAS);
  // The names not asked yet are asked now, all together.
  for (auto i = static_cast<int32_t>(l.acciones.size()); i < n; ++i)
    l.acciones.push_back(bus().conEnteros(o_, ACCION, "GetName", {i}));
  std::vector<std::string> nombres;
  for (int32_t i = 0; i < n; ++i) nombres.push_back(l.acciones[i].texto().value_or(""));
  return nombres;
}

std::optional<std::vector<std::string>> ElementoAtspi::acciones() {
  std::vector<std::string> nombres;
  bool pulsa = false;
  for (const auto& crudo : nombresCrudos()) {
    if (rangoDePulsar(crudo)) {
      if (!pulsa) nombres.push_back("AXPress");
      pulsa = true;
    } else if (!esSoltar(crudo) && !crudo.empty()) {
      nombres.push_back(crudo);
    }
  }
  return nombres;
}

int ElementoAtspi::realizar(std::string_view accion) {
  const auto crudos = nombresCrudos();
  int32_t indice = -1;
  if (accion == "AXPress") {
    // The best of the actions that press.
    size_t mejor = PULSAR.size();
    for (size_t i = 0; i < crudos.size(); ++i) {
      const auto rango = rangoDePulsar(crudos[i]);
      if (rango && *rango < mejor) {
        mejor = *rango;
        indice = static_cast<int32_t>(i);
      }
    }
  } else {
    auto it = std::find(crudos.begin(), crudos.end(), accion);
    if (it != crudos.end()) indice = static_cast<int32_t>(it - crudos.begin());
  }
  if (indice < 0) return AX_ERROR;
  auto hecho = bus().conEnteros(o_, ACCION, "DoAction", {indice});
  return hecho.booleano() == true ? AX_EXITO : AX_ERROR;
}

std::optional<Valor> ElementoAtspi::ventanas(std::string_view nombre) {
  if (s_->ventanas) {
    if (nombre == "AXWindows") return Valor(s_->ventanas->ventanas(*pid_));
    auto v =
        nombre == "AXMainWindow" ? s_->ventanas->principal(*pid_) : s_->ventanas->enfocada(*pid_);
    if (!v) return std::nullopt;
    return Valor(v);
  }
  auto marcos = marcosDe(bus(), o_);
  auto elemento = [&](const Marco& m) {
    return ElementoRef(std::make_shared<ElementoAtspi>(s_, m.o));
  };
  if (nombre == "AXWindows") {
    std::vector<ElementoRef> lista;
    for (auto& m : marcos) lista.push_back(elemento(m));
    return Valor(std::move(lista));
  }
  for (auto& m : marcos)
    if (tieneEstado(m.estados, ATSPI_STATE_ACTIVE)) return Valor(elemento(m));
  if (nombre == "AXMainWindow") {
    for (auto& m : marcos)
      if (tieneEstado(m.estados, ATSPI_STATE_SHOWING)) return Valor(elemento(m));
  }
  return std::nullopt;
}
}  // namespace tildo::atspi
