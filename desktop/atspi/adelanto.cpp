// Asking ahead of a walk (Elemento::anticipar): each question is sent as soon as the answer
// that makes it known comes, so the application always has work queued; the frame and the
// actions only of the elements the walk reads whole.

#include <map>
#include <memory>
#include <string>

#include "desktop/atspi/elemento_atspi.h"
#include "desktop/atspi/lote.h"

namespace tildo::atspi {

namespace {

// How many elements one walk asks ahead at most: past them the walk asks as it goes.
constexpr size_t ELEMENTOS_ADELANTADOS = 5000;

// Asks ahead what a walk of an application will read, each question sent as soon as the
// answer that makes it known comes: the application's toolkit and cache first, then, element
// by element, the batch of each child once its parent's children are known.
struct Adelanto : std::enable_shared_from_this<Adelanto> {
  SesionAtspi* s;
  Objeto app;
  Objeto inicio;  // the element the walk starts at, read whole
  std::function<bool(const Resumen&)> entero;
  Kit kit = Kit::otro;
  Llamada nombreDelKit, direccion, items;
  // By path; shared with the batches, which would otherwise copy a thousand of them.
  std::map<std::string, std::shared_ptr<const atspi::ItemDeCache>, std::less<>> cache;
  std::map<std::string, std::vector<Objeto>, std::less<>> hijosEnCache;
  size_t elementos = 0;
  bool empezado = false;

  atspi::Bus& bus() { return *s->bus; }

  // The cache is taken only when it answers in its own shape; its children only where they
  // add up, as they do not under containers that keep their children out of it.
  void leerCache() {
    auto lista = items.itemsDeCache();
    if (!lista) return;
    std::map<std::string, std::vector<const atspi::ItemDeCache*>, std::less<>> porPadre;
    for (auto& item : *lista) {
      if (item.objeto.bus != app.bus) continue;
      auto [it, nuevo] = cache.emplace(item.objeto.ruta, nullptr);
      // An element listed twice is a cache that cannot be trusted.
      if (!nuevo) {
        cache.clear();
        return;
      }
      it->second = std::make_shared<const atspi::ItemDeCache>(std::move(item));
      const auto& padre = it->second->padre;
      if (padre.bus == app.bus) porPadre[padre.ruta].push_back(it->second.get());
    }
    for (auto& [ruta, item] : cache) {
      if (item->cuantosHijos < 0) continue;
      const size_t n = static_cast<size_t>(item->cuantosHijos);
      auto it = porPadre.find(ruta);
      if ((it == porPadre.end() ? 0 : it->second.size()) != n) continue;
      std::vector<Objeto> hijos(n);
      std::vector<bool> visto(n, false);
      bool suman = true;
      for (size_t i = 0; i < n && suman; ++i) {
        const auto* h = it->second[i];
        suman = h->indice >= 0 && size_t(h->indice) < n && !visto[h->indice];
        if (!suman) break;
        visto[h->indice] = true;
        hijos[h->indice] = h->objeto;
      }
      if (suman) hijosEnCache.emplace(ruta, std::move(hijos));
    }
  }

  std::shared_ptr<Lote> loteDe(const Objeto& o) {
    auto it = o.bus == app.bus ? cache.find(o.ruta) : cache.end();
    if (it == cache.end()) return pedirLote(bus(), o, kit, false);
    auto h = hijosEnCache.find(o.ruta);
    return loteDeCache(
        bus(), it->second,
        h == hijosEnCache.end() ? std::nullopt : std::optional<std::vector<Objeto>>(h->second), kit,
        false);
  }

  // Follows one element's batch: its second questions once its first answers are in, then
  // its children's batches while `niveles` lasts.
  void seguir(Lote* l, const Objeto& o, int64_t niveles) {
    auto yo = shared_from_this();
    // Run on each of the first answers; the last one to come goes on.
    auto paso = [yo, l, o, niveles] {
      if (l->seguido || !l->basicoListo()) return;
      l->seguido = true;
      yo->completarAdelantado(*l, o);
      if (niveles <= 0) return;
      // What is not showing is not walked into; a layout element's children stand at its
      // level. Only answers already in decide: a step never waits.
      int64_t deHijos = niveles - 1;
      if (o.ruta != RAIZ && rasgosListos(*l)) {
        const Rasgos r = rasgosDe(*l);
        if (presencia(r, false) == Presencia::oculto) return;
        if (agrupaSinMas(r)) deHijos = niveles;
      }
      if (l->sinHijos || l->hijosDeCache || !l->hijos.enviada()) {
        yo->adelantarHijos(*l, deHijos, o.ruta == RAIZ);
      } else {
        l->hijos.luego(
            [yo, l, deHijos, deApp = o.ruta == RAIZ] { yo->adelantarHijos(*l, deHijos, deApp); });
      }
    };
    if (l->item) {
      paso();
      return;
    }
    l->rol.luego(paso);
    l->interfaces.luego(paso);
    l->cuantosHijos.luego(paso);
    l->propiedades.luego(paso);
  }

  void completarAdelantado(Lote& l, const Objeto& o) {
    if (l.completo) return;
    completar(bus(), o, l, true);
    auto yo = shared_from_this();
    for (Llamada* c : {&l.estados, &l.nombre, &l.descripcion, &l.texto, &l.valor})
      if (!c->lista()) c->luego([yo, &l, o] { yo->decidir(l, o); });
    decidir(l, o);
  }

  // Whether the walk reads the element whole, settled as soon as its answers tell: the role
  // and texts may tell before its value does. Only then are its frame and actions asked.
  void decidir(Lote& l, const Objeto& o) {
    if (l.decidido || !rasgosListos(l)) return;
    const Rasgos rasgos = rasgosDe(l);
    // What is not showing is not walked.
    if (o != inicio && presencia(rasgos, l.deAplicacion) == Presencia::oculto) {
      l.decidido = true;
      return;
    }
    Resumen r = resumenSinValor(l);
    if (!(o == inicio || !entero || entero(r))) {
      // Its place in the view may hang on whether it acts.
      if (agrupaSinMas(rasgos)) pedirAcciones(bus(), o, l, 0);
      if (!l.texto.lista() || !l.valor.lista()) return;
      r.valor = valorAx(static_cast<AtspiRole>(l.rolAtspi().value_or(ATSPI_ROLE_INVALID)), l);
      if (!entero(r)) {
        l.decidido = true;
        return;
      }
    }
    l.decidido = true;
    pedirMarco(bus(), o, l);
    // The first name along with the number; the rest as soon as the number is known.
    pedirAcciones(bus(), o, l, 1);
    if (!l.cuantasAcciones.enviada()) return;
    auto yo = shared_from_this();
    l.cuantasAcciones.luego([yo, &l, o] {
      const int32_t n = l.cuantasAcciones.entero().value_or(0);
      if (n > ACCIONES_ADELANTADAS) return;
      for (auto i = static_cast<int32_t>(l.acciones.size()); i < n; ++i)
        l.acciones.push_back(yo->bus().conEnteros(o, ACCION, "GetName", {i}));
    });
  }

  // Asks ahead for the children, each to be followed `niveles` further.
  void adelantarHijos(Lote& l, int64_t niveles, bool deAplicacion) {
    if (l.hijosEntregados) return;
    const auto hijos = hijosDe(l).value_or(std::vector<Objeto>{});
    std::weak_ptr<Lote> padre = l.weak_from_this();
    auto yo = shared_from_this();
    const bool enPagina = paginaDeHijos(l);
    for (const auto& h : hijos) {
      if (elementos >= ELEMENTOS_ADELANTADOS) return;
      ++elementos;
      bus().cuandoQuepa([yo, padre, h, niveles, enPagina, deAplicacion] {
        auto l = padre.lock();
        if (!l || l->hijosEntregados) return;
        auto hijo = yo->loteDe(h);
        hijo->enPagina = enPagina;
        hijo->deAplicacion = deAplicacion;
        l->deHijos.push_back(hijo);
        yo->seguir(hijo.get(), h, niveles);
      });
    }
  }
};

}  // namespace

void ElementoAtspi::anticipar(int64_t profundidad, std::function<bool(const Resumen&)> entero) {
  profundidad_ = profundidad;
  entero_ = entero;
  auto a = std::make_shared<Adelanto>();
  a->s = s_.get();
  a->app = {o_.bus, RAIZ};
  a->inicio = o_;
  a->entero = std::move(entero);
  a->nombreDelKit = bus().propiedad(a->app, "org.a11y.atspi.Application", "ToolkitName");
  // GTK's bridge keeps its cache only once a client has asked for its bus address, as every
  // libatspi client does; the address is not used. The application answers in order, so the
  // cache is there for the question that follows.
  a->direccion = bus().metodo(a->app, "org.a11y.atspi.Application", "GetApplicationBusAddress");
  // The application's own cache; the registry's has nothing in it.
  a->items = bus().metodo({o_.bus, "/org/a11y/atspi/cache"}, "org.a11y.atspi.Cache", "GetItems");
  lote_ = nuevoLote();
  std::weak_ptr<Lote> raiz = lote_;
  auto empezar = [a, raiz, o = o_, profundidad] {
    auto l = raiz.lock();
    if (!l || a->empezado || !a->nombreDelKit.lista() || !a->items.lista()) return;
    a->empezado = true;
    a->kit = kitDe(a->nombreDelKit.texto().value_or(""));
    a->s->kits[o.bus] = a->kit;
    a->leerCache();
    a->seguir(l.get(), o, profundidad);
  };
  a->nombreDelKit.luego(empezar);
  a->items.luego(empezar);
}
}  // namespace tildo::atspi
