#include "desktop/atspi/accesibilidad_atspi.h"

#include <X11/Xatom.h>
#include <atspi/atspi-constants.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <map>
#include <set>
#include <string>

#include "common/fallo.h"
#include "desktop/atspi/bus.h"
#include "desktop/x11/conexion.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {

using atspi::Llamada;
using atspi::Objeto;
using atspi::Reloj;

namespace {

// An element's identity (Elemento::identidad): its bus name and path, which no other element
// shares.
std::string identidadDe(const Objeto& o) {
  return o.bus + ' ' + o.ruta;
}

}  // namespace

// What may be asked of an application depends on its toolkit.
enum class Kit { gtk, qt, otro };

// What every element of one run shares: the bus, the display and the window source.
struct SesionAtspi {
  ConexionX11& conexion;
  ServidorVentanas& servidor;
  FuenteDeVentanas* ventanas = nullptr;
  std::unique_ptr<atspi::Bus> bus;  // none: the session has no accessibility bus
  bool encendida = false;           // the session's accessibility is switched on
  // The name each application goes by in messages, by its bus name.
  std::map<std::string, std::string, std::less<>> nombres;
  // The toolkit of each application whose tree has been walked, by its bus name.
  std::map<std::string, Kit, std::less<>> kits;
  // The root of each application the registry has listed in this run, by pid: a command that
  // looks an application up and then reads it asks the registry once.
  std::map<int32_t, Objeto> raices;

  SesionAtspi(ConexionX11& c, ServidorVentanas& s) : conexion(c), servidor(s) {}
  // Global points are measured from the primary monitor; AT-SPI speaks root-window pixels.
  Punto origen() { return conexion.origenPrincipal(); }
  atspi::Bus& b() {
    if (!bus) fallo("no hay bus de accesibilidad (AT-SPI) en esta sesión");
    return *bus;
  }
};

namespace {

constexpr const char* ACCESIBLE = "org.a11y.atspi.Accessible";
constexpr const char* COMPONENTE = "org.a11y.atspi.Component";
constexpr const char* ACCION = "org.a11y.atspi.Action";
const Objeto REGISTRO{"org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"};
const Objeto ESTADO_ACCESIBILIDAD{"org.a11y.Bus", "/org/a11y/bus"};
constexpr const char* ESTADO = "org.a11y.Status";

std::string variable(const char* nombre) {
  const char* v = std::getenv(nombre);
  return v ? v : "";
}

// The address the bus launcher publishes on the root window.
std::string direccionEnLaPantalla(Display* d) {
  if (!d) return "";
  Atom real = None;
  int formato = 0;
  unsigned long n = 0, resto = 0;
  unsigned char* datos = nullptr;
  const Atom nombre = XInternAtom(d, "AT_SPI_BUS", True);
  if (nombre == None ||
      XGetWindowProperty(d, DefaultRootWindow(d), nombre, 0, 1024, False, XA_STRING, &real,
                         &formato, &n, &resto, &datos) != Success ||
      !datos)
    return "";
  std::string s(reinterpret_cast<char*>(datos), formato == 8 ? n : 0);
  XFree(datos);
  return s;
}

// Finds the accessibility bus where libatspi would (the environment, the root window, the
// session bus's launcher) and switches the session's accessibility on, as a screen reader
// does, when it is off: Qt, Chromium and Firefox expose their trees only then. Both buses are
// greeted at once, and the session is asked about accessibility behind its greeting.
void abrirBus(SesionAtspi& s) {
  std::unique_ptr<atspi::Bus> sesion;
  if (auto d = variable("DBUS_SESSION_BUS_ADDRESS"); !d.empty()) sesion = atspi::Bus::conectar(d);
  Llamada activada, lector;
  if (sesion) {
    activada = sesion->propiedad(ESTADO_ACCESIBILIDAD, ESTADO, "IsEnabled");
    lector = sesion->propiedad(ESTADO_ACCESIBILIDAD, ESTADO, "ScreenReaderEnabled");
  }
  std::string direccion = variable("AT_SPI_BUS_ADDRESS");
  if (direccion.empty()) direccion = direccionEnLaPantalla(s.servidor.pantalla());
  if (!direccion.empty()) s.bus = atspi::Bus::conectar(direccion);
  std::optional<bool> activa;
  if (sesion) {
    const auto limite = Reloj::now() + atspi::ESPERA_CORTA;
    if (activada.esperarHasta(limite)) activa = activada.booleano();
    if (activa && (!*activa || (lector.esperarHasta(limite) && lector.booleano() == false))) {
      auto a = sesion->fijar(ESTADO_ACCESIBILIDAD, ESTADO, "IsEnabled", true);
      auto l = sesion->fijar(ESTADO_ACCESIBILIDAD, ESTADO, "ScreenReaderEnabled", true);
      if (a.esperarHasta(limite) && !a.fallida()) activa = true;
      l.esperarHasta(limite);
    }
  }
  if (direccion.empty() && sesion) {
    auto d = sesion->metodo(ESTADO_ACCESIBILIDAD, "org.a11y.Bus", "GetAddress");
    if (d.esperarHasta(Reloj::now() + atspi::ESPERA_CORTA * 4)) direccion = d.texto().value_or("");
    if (!direccion.empty()) s.bus = atspi::Bus::conectar(direccion);
  }
  if (s.bus && !s.bus->saludado()) s.bus.reset();
  // Without the session's word the bus answering is all there is to go by.
  s.encendida = s.bus && activa.value_or(true);
  if (s.bus) {
    atspi::Bus* bus = s.bus.get();
    SesionAtspi* sesionAtspi = &s;
    bus->alCallar = [bus, sesionAtspi](const std::string& nombre) {
      if (nombre == REGISTRO.bus) fallo("el registro de accesibilidad (AT-SPI) no responde");
      auto it = sesionAtspi->nombres.find(nombre);
      const std::string app = it != sesionAtspi->nombres.end() ? it->second : nombre;
      if (bus->agotada()) fallo("la app «" + app + "» no terminó de responder a tiempo");
      fallo("la app «" + app + "» no responde");
    };
  }
}

std::shared_ptr<SesionAtspi> sesionDe(ConexionX11& conexion, ServidorVentanas& servidor) {
  static std::weak_ptr<SesionAtspi> viva;
  if (auto s = viva.lock()) return s;
  auto s = std::make_shared<SesionAtspi>(conexion, servidor);
  abrirBus(*s);
  viva = s;
  return s;
}

struct Rol {
  AtspiRole atspi;
  const char* rol;
  const char* subrol;
};

// AT-SPI roles as the platform names them; anything else is a group.
constexpr std::array ROLES = {
    Rol{ATSPI_ROLE_PUSH_BUTTON, "AXButton", nullptr},
    Rol{ATSPI_ROLE_PUSH_BUTTON_MENU, "AXMenuButton", nullptr},
    Rol{ATSPI_ROLE_TOGGLE_BUTTON, "AXCheckBox", "AXToggle"},
    Rol{ATSPI_ROLE_CHECK_BOX, "AXCheckBox", nullptr},
    Rol{ATSPI_ROLE_RADIO_BUTTON, "AXRadioButton", nullptr},
    Rol{ATSPI_ROLE_COMBO_BOX, "AXPopUpButton", nullptr},
    Rol{ATSPI_ROLE_PASSWORD_TEXT, "AXSecureTextField", nullptr},
    Rol{ATSPI_ROLE_ENTRY, "AXTextField", nullptr},
    Rol{ATSPI_ROLE_EDITBAR, "AXTextField", nullptr},
    Rol{ATSPI_ROLE_TEXT, "AXTextArea", nullptr},
    Rol{ATSPI_ROLE_DOCUMENT_TEXT, "AXTextArea", nullptr},
    Rol{ATSPI_ROLE_LABEL, "AXStaticText", nullptr},
    Rol{ATSPI_ROLE_STATIC, "AXStaticText", nullptr},
    Rol{ATSPI_ROLE_CAPTION, "AXStaticText", nullptr},
    Rol{ATSPI_ROLE_PARAGRAPH, "AXStaticText", nullptr},
    Rol{ATSPI_ROLE_LINK, "AXLink", nullptr},
    Rol{ATSPI_ROLE_MENU_ITEM, "AXMenuItem", nullptr},
    Rol{ATSPI_ROLE_CHECK_MENU_ITEM, "AXMenuItem", nullptr},
    Rol{ATSPI_ROLE_RADIO_MENU_ITEM, "AXMenuItem", nullptr},
    Rol{ATSPI_ROLE_TEAROFF_MENU_ITEM, "AXMenuItem", nullptr},
    Rol{ATSPI_ROLE_MENU, "AXMenu", nullptr},
    Rol{ATSPI_ROLE_MENU_BAR, "AXMenuBar", nullptr},
    Rol{ATSPI_ROLE_PAGE_TAB, "AXTab", nullptr},
    Rol{ATSPI_ROLE_PAGE_TAB_LIST, "AXTabGroup", nullptr},
    Rol{ATSPI_ROLE_TABLE_CELL, "AXCell", nullptr},
    Rol{ATSPI_ROLE_TABLE, "AXTable", nullptr},
    Rol{ATSPI_ROLE_TREE_TABLE, "AXOutline", nullptr},
    Rol{ATSPI_ROLE_TREE, "AXOutline", nullptr},
    Rol{ATSPI_ROLE_TABLE_ROW, "AXRow", nullptr},
    Rol{ATSPI_ROLE_TREE_ITEM, "AXRow", nullptr},
    Rol{ATSPI_ROLE_LIST, "AXList", nullptr},
    Rol{ATSPI_ROLE_LIST_BOX, "AXList", nullptr},
    Rol{ATSPI_ROLE_LIST_ITEM, "AXRow", nullptr},
    Rol{ATSPI_ROLE_COLUMN_HEADER, "AXButton", nullptr},
    Rol{ATSPI_ROLE_TABLE_COLUMN_HEADER, "AXButton", nullptr},
    Rol{ATSPI_ROLE_ROW_HEADER, "AXCell", nullptr},
    Rol{ATSPI_ROLE_TABLE_ROW_HEADER, "AXCell", nullptr},
    Rol{ATSPI_ROLE_ANIMATION, "AXBusyIndicator", nullptr},
    Rol{ATSPI_ROLE_SLIDER, "AXSlider", nullptr},
    Rol{ATSPI_ROLE_SPIN_BUTTON, "AXIncrementor", nullptr},
    Rol{ATSPI_ROLE_SCROLL_BAR, "AXScrollBar", nullptr},
    Rol{ATSPI_ROLE_SCROLL_PANE, "AXScrollArea", nullptr},
    Rol{ATSPI_ROLE_PROGRESS_BAR, "AXProgressIndicator", nullptr},
    Rol{ATSPI_ROLE_LEVEL_BAR, "AXLevelIndicator", nullptr},
    Rol{ATSPI_ROLE_SPLIT_PANE, "AXSplitGroup", nullptr},
    Rol{ATSPI_ROLE_TOOL_BAR, "AXToolbar", nullptr},
    Rol{ATSPI_ROLE_IMAGE, "AXImage", nullptr},
    Rol{ATSPI_ROLE_ICON, "AXImage", nullptr},
    Rol{ATSPI_ROLE_HEADING, "AXHeading", nullptr},
    Rol{ATSPI_ROLE_TOOL_TIP, "AXHelpTag", nullptr},
    Rol{ATSPI_ROLE_DATE_EDITOR, "AXDateField", nullptr},
    Rol{ATSPI_ROLE_DOCUMENT_WEB, "AXWebArea", nullptr},
    Rol{ATSPI_ROLE_FRAME, "AXWindow", "AXStandardWindow"},
    Rol{ATSPI_ROLE_WINDOW, "AXWindow", "AXStandardWindow"},
    Rol{ATSPI_ROLE_DIALOG, "AXWindow", "AXDialog"},
    Rol{ATSPI_ROLE_FILE_CHOOSER, "AXWindow", "AXDialog"},
    Rol{ATSPI_ROLE_ALERT, "AXWindow", "AXDialog"},
    Rol{ATSPI_ROLE_APPLICATION, "AXApplication", nullptr},
};

const Rol* rolDe(AtspiRole r) {
  for (const auto& x : ROLES)
    if (x.atspi == r) return &x;
  return nullptr;
}

bool esVentana(AtspiRole r) {
  const Rol* x = rolDe(r);
  return x && std::string_view(x->rol) == "AXWindow";
}

// Roles whose "AXValue" is their checked state, 0 or 1, as the platform gives it.
bool esMarcable(AtspiRole r) {
  return r == ATSPI_ROLE_CHECK_BOX || r == ATSPI_ROLE_RADIO_BUTTON ||
         r == ATSPI_ROLE_TOGGLE_BUTTON || r == ATSPI_ROLE_CHECK_MENU_ITEM ||
         r == ATSPI_ROLE_RADIO_MENU_ITEM;
}

// Roles whose "AXValue" is a number.
bool esNumerico(AtspiRole r) {
  return r == ATSPI_ROLE_SLIDER || r == ATSPI_ROLE_SPIN_BUTTON || r == ATSPI_ROLE_SCROLL_BAR ||
         r == ATSPI_ROLE_PROGRESS_BAR || r == ATSPI_ROLE_LEVEL_BAR;
}

// The AT-SPI actions that press an element, best first.
constexpr std::array<std::string_view, 6> PULSAR = {"click",  "press", "activate",
                                                    "toggle", "jump",  "open"};

bool tieneEstado(const std::vector<uint32_t>& estados, AtspiStateType e) {
  const auto i = static_cast<size_t>(e);
  return i / 32 < estados.size() && (estados[i / 32] >> (i % 32)) & 1u;
}

// A frame from an answer of GetExtents in screen pixels, in global points.
std::optional<Rect> marcoDe(std::optional<atspi::Extension> e, Punto origen) {
  // Widgets that are not on screen report the smallest coordinate or a negative size, which
  // is no frame at all.
  if (!e || e->x == INT32_MIN || e->y == INT32_MIN || e->ancho < 0 || e->alto < 0)
    return std::nullopt;
  return Rect{e->x - origen.x, e->y - origen.y, double(e->ancho), double(e->alto)};
}

Kit kitDe(std::string_view nombre) {
  if (nombre == "gtk" || nombre == "GTK") return Kit::gtk;
  if (nombre == "Qt") return Kit::qt;
  return Kit::otro;
}

// Everything the walk asks of one element, sent at once: one wait for all the answers. What
// only some interfaces answer (text, value, actions) follows once the interfaces are known,
// rather than asking every element questions most cannot answer.
struct Lote : std::enable_shared_from_this<Lote> {
  // Properties are asked one by one, or all in one call on GTK: Qt 6.4 applications crash on
  // Properties.GetAll, and an unknown toolkit may too.
  Llamada rol, nombre, descripcion, cuantosHijos, estados, interfaces, extension, hijos;
  Llamada propiedades;
  // What the application's cache said of the element, in place of the first six calls; and
  // its children, when the cached ones add up to its child count.
  std::optional<atspi::ItemDeCache> item;
  std::optional<std::vector<Objeto>> hijosDeCache;
  // Not showing, on a toolkit that gives such elements no extents: none are asked for.
  bool sinExtension = false;
  Kit kit = Kit::otro;
  bool completo = false;
  bool sinHijos = false;  // known from the child count, so the list is not asked for
  Llamada texto, valor, cuantasAcciones;
  // The action names asked so far, by index: the first ones along with their number, since
  // most elements that act have few; asked ahead, the rest as soon as the number is known.
  // Where GetActions gives the same names, it gives them all.
  std::vector<Llamada> acciones;
  Llamada todasLasAcciones;
  std::set<std::string, std::less<>> servidos;
  // The children's batches, asked ahead of the walk, in the children's order; until the
  // children are handed out.
  std::vector<std::shared_ptr<Lote>> deHijos;
  bool seguido = false;  // its children are being asked ahead
  bool hijosEntregados = false;

  std::optional<uint32_t> rolAtspi() {
    return item ? std::optional<uint32_t>(item->rol) : rol.natural();
  }
  std::optional<std::string> titulo() {
    if (item) return item->nombre;
    return propiedades.enviada() ? propiedades.textoEn("Name") : nombre.texto();
  }
  std::optional<std::string> descripcionAtspi() {
    if (item) return item->descripcion;
    return propiedades.enviada() ? propiedades.textoEn("Description") : descripcion.texto();
  }
  std::optional<std::vector<uint32_t>> estadosAtspi() {
    return item ? item->estados : estados.naturales();
  }
  std::optional<std::vector<std::string>> interfacesAtspi() {
    return item ? item->interfaces : interfaces.textos();
  }
  std::optional<int32_t> cuantos() {
    if (item) return item->cuantosHijos;
    return propiedades.enviada() ? propiedades.enteroEn("ChildCount") : cuantosHijos.entero();
  }
  std::optional<atspi::Extension> extensionAtspi() {
    if (sinExtension) return std::nullopt;
    return extension.extension();
  }
  // Whether what decides the second questions is in.
  bool basicoListo() const {
    return item ||
           (interfaces.lista() && rol.lista() && cuantosHijos.lista() && propiedades.lista());
  }
};

Llamada pedirExtension(atspi::Bus& bus, const Objeto& o) {
  return bus.conEnteros(o, COMPONENTE, "GetExtents", {}, ATSPI_COORD_TYPE_SCREEN);
}

std::shared_ptr<Lote> pedirLote(atspi::Bus& bus, const Objeto& o, Kit kit) {
  auto l = std::make_shared<Lote>();
  l->kit = kit;
  l->rol = bus.metodo(o, ACCESIBLE, "GetRole");
  if (kit == Kit::gtk) {
    l->propiedades = bus.conTexto(o, DBUS_INTERFACE_PROPERTIES, "GetAll", ACCESIBLE);
  } else {
    l->nombre = bus.propiedad(o, ACCESIBLE, "Name");
    l->descripcion = bus.propiedad(o, ACCESIBLE, "Description");
    l->cuantosHijos = bus.propiedad(o, ACCESIBLE, "ChildCount");
  }
  l->estados = bus.metodo(o, ACCESIBLE, "GetState");
  l->interfaces = bus.metodo(o, ACCESIBLE, "GetInterfaces");
  l->extension = pedirExtension(bus, o);
  return l;
}

// The batch of an element the application's cache described: only what the cache lacks is
// asked.
std::shared_ptr<Lote> loteDeCache(atspi::Bus& bus, const atspi::ItemDeCache& item,
                                  std::optional<std::vector<Objeto>> hijos, Kit kit) {
  auto l = std::make_shared<Lote>();
  l->kit = kit;
  l->item = item;
  l->hijosDeCache = std::move(hijos);
  // GTK gives widgets that are not showing no extents; other toolkits give them real ones.
  l->sinExtension = kit == Kit::gtk && !tieneEstado(item.estados, ATSPI_STATE_SHOWING);
  if (!l->sinExtension) l->extension = pedirExtension(bus, item.objeto);
  return l;
}

// The second questions. Asked ahead of the walk, the action names wait for their number.
void completar(atspi::Bus& bus, const Objeto& o, Lote& l, bool adelantado = false) {
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
  if (tiene(ACCION)) {
    // Qt's GetActions names the actions as GetName does; GTK's gives localized names.
    if (l.kit == Kit::qt) {
      l.todasLasAcciones = bus.metodo(o, ACCION, "GetActions");
      return;
    }
    l.cuantasAcciones = bus.propiedad(o, ACCION, "NActions");
    // Read as it comes, a few names are guessed at; asked ahead, the rest follows the number.
    for (int32_t i = 0; i < (adelantado ? 1 : 3); ++i)
      l.acciones.push_back(bus.conEnteros(o, ACCION, "GetName", {i}));
  }
}

// The children of an element as its batch gives them, or nothing when they cannot be read.
std::optional<std::vector<Objeto>> hijosDe(Lote& l) {
  if (l.sinHijos) return std::vector<Objeto>{};
  if (l.hijosDeCache) return l.hijosDeCache;
  return l.hijos.objetos();
}

// How many action names are asked ahead at most; an element claiming more gets them asked
// for when they are read.
constexpr int32_t ACCIONES_ADELANTADAS = 64;
// The actions of one element that are read at most: no real element has nearly as many, and an
// application may claim 2^31.
constexpr int32_t ACCIONES_MAXIMAS = 256;
// How many elements one walk asks ahead at most: past them the walk asks as it goes.
constexpr size_t ELEMENTOS_ADELANTADOS = 5000;

// Asks ahead what a walk of an application will read, each question sent as soon as the
// answer that makes it known comes: the application's toolkit and cache first, then, element
// by element, the batch of each child once its parent's children are known.
struct Adelanto : std::enable_shared_from_this<Adelanto> {
  SesionAtspi* s;
  Objeto app;
  Kit kit = Kit::otro;
  Llamada nombreDelKit, direccion, items;
  std::map<std::string, atspi::ItemDeCache, std::less<>> cache;  // by path
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
      auto [it, nuevo] = cache.emplace(item.objeto.ruta, item);
      // An element listed twice is a cache that cannot be trusted.
      if (!nuevo) {
        cache.clear();
        return;
      }
      if (item.padre.bus == app.bus) porPadre[item.padre.ruta].push_back(&it->second);
    }
    for (auto& [ruta, item] : cache) {
      if (item.cuantosHijos < 0) continue;
      const size_t n = static_cast<size_t>(item.cuantosHijos);
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
    if (it == cache.end()) return pedirLote(bus(), o, kit);
    auto h = hijosEnCache.find(o.ruta);
    return loteDeCache(
        bus(), it->second,
        h == hijosEnCache.end() ? std::nullopt : std::optional<std::vector<Objeto>>(h->second),
        kit);
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
      if (l->sinHijos || l->hijosDeCache || !l->hijos.enviada()) {
        yo->adelantarHijos(*l, niveles);
      } else {
        l->hijos.luego([yo, l, niveles] { yo->adelantarHijos(*l, niveles); });
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
    if (!l.cuantasAcciones.enviada()) return;
    auto yo = shared_from_this();
    l.cuantasAcciones.luego([yo, &l, o] {
      const int32_t n = l.cuantasAcciones.entero().value_or(0);
      if (n > ACCIONES_ADELANTADAS) return;
      for (auto i = static_cast<int32_t>(l.acciones.size()); i < n; ++i)
        l.acciones.push_back(yo->bus().conEnteros(o, ACCION, "GetName", {i}));
    });
  }

  void adelantarHijos(Lote& l, int64_t niveles) {
    if (l.hijosEntregados) return;
    const auto hijos = hijosDe(l).value_or(std::vector<Objeto>{});
    std::weak_ptr<Lote> padre = l.weak_from_this();
    auto yo = shared_from_this();
    for (const auto& h : hijos) {
      if (elementos >= ELEMENTOS_ADELANTADOS) return;
      ++elementos;
      bus().cuandoQuepa([yo, padre, h, niveles] {
        auto l = padre.lock();
        if (!l || l->hijosEntregados) return;
        auto hijo = yo->loteDe(h);
        l->deHijos.push_back(hijo);
        yo->seguir(hijo.get(), h, niveles - 1);
      });
    }
  }
};

// How many siblings ahead of the one being read have their questions in flight: enough to
// keep the application busy, few enough to stay under the bus's limit of pending replies.
constexpr size_t ADELANTO = 4;

class ElementoAtspi;

// The children of one element, asked for a few at a time as the walk goes through them.
struct Hermanos {
  std::vector<std::weak_ptr<ElementoAtspi>> lista;
  void adelantar(size_t desde);
  // The second questions of those whose first answers are already in.
  void completarListos(size_t desde);
};

class ElementoAtspi : public Elemento {
 public:
  ElementoAtspi(std::shared_ptr<SesionAtspi> s, Objeto o, std::optional<int32_t> pid = {})
      : s_(std::move(s)), o_(std::move(o)), pid_(pid) {}

  std::optional<Valor> atributo(std::string_view nombre) override;
  std::optional<std::vector<std::string>> acciones() override;
  int realizar(std::string_view accion) override;
  int fijar(std::string_view, const Valor&) override { return AX_ERROR; }
  void anticipar(int64_t profundidad) override;
  std::string identidad() const override { return identidadDe(o_); }

  void preguntar() {
    if (!lote_) lote_ = pedirLote(bus(), o_, kit());
  }
  void completarSiListo() {
    if (lote_ && !lote_->completo && lote_->basicoListo()) completar(bus(), o_, *lote_);
  }
  void hermanos(std::shared_ptr<Hermanos> h, size_t i) {
    hermanos_ = std::move(h);
    indice_ = i;
  }

 private:
  atspi::Bus& bus() const { return *s_->bus; }
  Kit kit() const {
    auto it = s_->kits.find(o_.bus);
    return it == s_->kits.end() ? Kit::otro : it->second;
  }
  // The answers for this read: each batch serves every attribute once; a second read of the
  // same attribute asks afresh, so a moving element is seen moving.
  Lote& lote(std::string_view nombre) {
    if (hermanos_) {
      hermanos_->adelantar(indice_ + 1);
      grupo_ = std::move(hermanos_);
    }
    if (!lote_ || lote_->servidos.count(nombre)) lote_ = pedirLote(bus(), o_, kit());
    lote_->servidos.emplace(nombre);
    return *lote_;
  }
  // The batch for a read that needs the second questions answered too.
  Lote& loteCompleto(std::string_view nombre) {
    Lote& l = lote(nombre);
    completar(bus(), o_, l);
    if (grupo_) grupo_->completarListos(indice_ + 1);
    return l;
  }
  AtspiRole rol(Lote& l) {
    // An element keeps its role for life.
    if (!rol_) rol_ = static_cast<AtspiRole>(l.rolAtspi().value_or(ATSPI_ROLE_INVALID));
    return *rol_;
  }
  std::optional<std::vector<uint32_t>> estados(std::string_view nombre) {
    return lote(nombre).estadosAtspi();
  }
  std::optional<Valor> valor();
  std::optional<Valor> ventanas(std::string_view nombre);
  ElementoRef enfocado();
  std::vector<std::string> nombresCrudos();

  std::shared_ptr<SesionAtspi> s_;
  Objeto o_;
  std::optional<int32_t> pid_;  // set on application elements
  std::optional<AtspiRole> rol_;
  std::shared_ptr<Lote> lote_;
  std::shared_ptr<Hermanos> hermanos_;  // until the first read asks ahead
  std::shared_ptr<Hermanos> grupo_;
  size_t indice_ = 0;
};

void Hermanos::adelantar(size_t desde) {
  for (size_t i = desde; i < lista.size() && i < desde + ADELANTO; ++i)
    if (auto h = lista[i].lock()) h->preguntar();
}

void Hermanos::completarListos(size_t desde) {
  for (size_t i = desde; i < lista.size() && i < desde + ADELANTO; ++i)
    if (auto h = lista[i].lock()) h->completarSiListo();
}

void ElementoAtspi::anticipar(int64_t profundidad) {
  auto a = std::make_shared<Adelanto>();
  a->s = s_.get();
  a->app = {o_.bus, "/org/a11y/atspi/accessible/root"};
  a->nombreDelKit = bus().propiedad(a->app, "org.a11y.atspi.Application", "ToolkitName");
  // GTK's bridge keeps its cache only once a client has asked for its bus address, as every
  // libatspi client does; the address is not used. The application answers in order, so the
  // cache is there for the question that follows.
  a->direccion = bus().metodo(a->app, "org.a11y.atspi.Application", "GetApplicationBusAddress");
  // The application's own cache; the registry's has nothing in it.
  a->items = bus().metodo({o_.bus, "/org/a11y/atspi/cache"}, "org.a11y.atspi.Cache", "GetItems");
  lote_ = pedirLote(bus(), o_, kit());
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

// An application with no accessible counterpart: every read fails.
class ElementoMudo : public Elemento {
 public:
  std::optional<Valor> atributo(std::string_view) override { return std::nullopt; }
  std::optional<std::vector<std::string>> acciones() override { return std::nullopt; }
  int realizar(std::string_view) override { return AX_ERROR; }
  int fijar(std::string_view, const Valor&) override { return AX_ERROR; }
};

// An application of a session without an accessibility bus: its windows are the window
// manager's to list and move, and reading anything else says why it cannot be.
class AplicacionSinBus : public Elemento {
 public:
  AplicacionSinBus(SesionAtspi& s, FuenteDeVentanas* fuente, int32_t pid)
      : s_(s), fuente_(fuente), pid_(pid) {}
  std::optional<Valor> atributo(std::string_view nombre) override {
    const bool deVentanas =
        nombre == "AXWindows" || nombre == "AXMainWindow" || nombre == "AXFocusedWindow";
    if (!deVentanas) s_.b();
    if (!fuente_) return std::nullopt;
    return AplicacionDeVentanas(*fuente_, pid_).atributo(nombre);
  }
  std::optional<std::vector<std::string>> acciones() override {
    s_.b();
    return std::nullopt;
  }
  int realizar(std::string_view) override {
    s_.b();
    return AX_ERROR;
  }
  int fijar(std::string_view, const Valor&) override { return AX_ERROR; }

 private:
  SesionAtspi& s_;
  FuenteDeVentanas* fuente_;
  int32_t pid_;
};

std::optional<Valor> ElementoAtspi::valor() {
  Lote& l = loteCompleto("AXValue");
  const AtspiRole r = rol(l);
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
  if (auto t = l.texto.texto()) return Valor(std::move(*t));
  return std::nullopt;
}

std::optional<Valor> ElementoAtspi::atributo(std::string_view nombre) {
  if (pid_ && (nombre == "AXWindows" || nombre == "AXMainWindow" || nombre == "AXFocusedWindow"))
    return ventanas(nombre);
  if (pid_ && nombre == "AXFocusedUIElement") {
    if (auto e = enfocado()) return Valor(e);
    return std::nullopt;
  }
  if (nombre == "AXRole") {
    Lote& l = lote(nombre);
    const AtspiRole r = rol(l);
    if (r == ATSPI_ROLE_INVALID) return std::nullopt;
    // A one-line text is a field; the toolkits give both kinds the same role.
    if (r == ATSPI_ROLE_TEXT) {
      auto e = l.estadosAtspi();
      if (e && tieneEstado(*e, ATSPI_STATE_SINGLE_LINE)) return Valor(std::string("AXTextField"));
    }
    const Rol* x = rolDe(r);
    return Valor(std::string(x ? x->rol : "AXGroup"));
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
  if (nombre == "AXValue") return valor();
  if (nombre == "AXPlaceholderValue") {
    auto p = bus().metodo(o_, ACCESIBLE, "GetAttributes").atributo("placeholder-text");
    if (!p) return std::nullopt;
    return Valor(std::move(*p));
  }
  if (nombre == "AXPosition" || nombre == "AXSize") {
    auto m = marcoDe(lote(nombre).extensionAtspi(), s_->origen());
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
    return Valor(tieneEstado(*e, estado));
  }
  if (nombre == "AXChildren") {
    Lote& l = loteCompleto(nombre);
    auto objetos = hijosDe(l);
    if (!objetos) return std::nullopt;
    l.hijosEntregados = true;
    auto grupo = std::make_shared<Hermanos>();
    std::vector<ElementoRef> hijos;
    hijos.reserve(objetos->size());
    for (size_t i = 0; i < objetos->size(); ++i) {
      auto h = std::make_shared<ElementoAtspi>(s_, (*objetos)[i]);
      if (i < l.deHijos.size()) h->lote_ = std::move(l.deHijos[i]);
      h->hermanos(grupo, i);
      grupo->lista.push_back(h);
      hijos.push_back(std::move(h));
    }
    l.deHijos.clear();
    grupo->adelantar(0);
    return Valor(std::move(hijos));
  }
  if (nombre == "AXParent") {
    if (pid_) return std::nullopt;
    auto p = bus().propiedad(o_, ACCESIBLE, "Parent").objeto();
    // Above an application there is only the registry's desktop, which is no element.
    if (!p || p->ruta == "/org/a11y/atspi/null" || p->ruta == "/org/a11y/atspi/accessible/root")
      return std::nullopt;
    return Valor(ElementoRef(std::make_shared<ElementoAtspi>(s_, *p)));
  }
  return std::nullopt;
}

// The actions' own names (the localized ones are for people).
std::vector<std::string> ElementoAtspi::nombresCrudos() {
  Lote& l = loteCompleto("acciones");
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
    if (std::find(PULSAR.begin(), PULSAR.end(), crudo) != PULSAR.end()) {
      if (!pulsa) nombres.push_back("AXPress");
      pulsa = true;
    } else if (crudo != "release" && !crudo.empty()) {
      nombres.push_back(crudo);
    }
  }
  return nombres;
}

int ElementoAtspi::realizar(std::string_view accion) {
  const auto crudos = nombresCrudos();
  int32_t indice = -1;
  if (accion == "AXPress") {
    for (auto p : PULSAR) {
      auto it = std::find(crudos.begin(), crudos.end(), p);
      if (it != crudos.end()) {
        indice = static_cast<int32_t>(it - crudos.begin());
        break;
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

// A frame or dialog of an application, with its states.
struct Marco {
  Objeto o;
  std::vector<uint32_t> estados;
};

// The application's frames and dialogs, from the answer of its GetChildren.
std::vector<Marco> marcosDe(atspi::Bus& bus, Llamada& hijos) {
  const auto objetos = hijos.objetos().value_or(std::vector<Objeto>{});
  std::vector<Llamada> roles;
  for (const auto& h : objetos) roles.push_back(bus.metodo(h, ACCESIBLE, "GetRole"));
  std::vector<Objeto> ventanas;
  std::vector<Llamada> estados;
  for (size_t i = 0; i < objetos.size(); ++i) {
    if (!esVentana(static_cast<AtspiRole>(roles[i].natural().value_or(ATSPI_ROLE_INVALID))))
      continue;
    ventanas.push_back(objetos[i]);
    estados.push_back(bus.metodo(objetos[i], ACCESIBLE, "GetState"));
  }
  std::vector<Marco> marcos;
  for (size_t i = 0; i < ventanas.size(); ++i)
    marcos.push_back({ventanas[i], estados[i].naturales().value_or(std::vector<uint32_t>{})});
  return marcos;
}

std::vector<Marco> marcosDe(atspi::Bus& bus, const Objeto& app) {
  auto hijos = bus.metodo(app, ACCESIBLE, "GetChildren");
  return marcosDe(bus, hijos);
}

// The active frames first: toolkits keep the focus mark on the last focused widget of every
// window, and the active window's is the one with the keyboard.
void activasPrimero(std::vector<Marco>& marcos) {
  std::stable_partition(marcos.begin(), marcos.end(),
                        [](const Marco& m) { return tieneEstado(m.estados, ATSPI_STATE_ACTIVE); });
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
std::optional<Objeto> focoBajo(atspi::Bus& bus, const Objeto& raiz, int profundidad,
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
    if (tieneEstado(*e, ATSPI_STATE_SHOWING) && vistos.insert(identidadDe(hijos[i])).second)
      if (auto f = focoBajo(bus, hijos[i], profundidad - 1, presupuesto, vistos)) return f;
  }
  return std::nullopt;
}

ElementoRef ElementoAtspi::enfocado() {
  auto marcos = marcosDe(bus(), o_);
  activasPrimero(marcos);
  for (auto& m : marcos) {
    int presupuesto = 5000;
    std::set<std::string> vistos{identidadDe(m.o)};
    if (auto f = focoBajo(bus(), m.o, 30, presupuesto, vistos))
      return std::make_shared<ElementoAtspi>(s_, *f);
  }
  return nullptr;
}

// One of the registry's applications: its root object, its pid and, when asked for, its name.
struct AppAtspi {
  Objeto raiz;
  int32_t pid = 0;
  std::optional<std::string> nombre;
  bool responde = true;  // it gave its name within the wait, or was not asked for it
};

// The registry's applications in its order, each with its pid; their names are asked of them
// all at once and waited for `esperaNombres` at most, when given. `registro` tells whether
// the registry answered.
std::vector<AppAtspi> appsDelRegistro(SesionAtspi& s,
                                      std::optional<std::chrono::milliseconds> esperaNombres,
                                      bool* registro = nullptr) {
  std::vector<AppAtspi> apps;
  if (registro) *registro = false;
  if (!s.bus) return apps;
  atspi::Bus& bus = *s.bus;
  auto hijos = bus.metodo(REGISTRO, ACCESIBLE, "GetChildren");
  if (!hijos.esperarHasta(Reloj::now() + atspi::SILENCIO)) return apps;
  if (registro) *registro = true;
  const auto objetos = hijos.objetos().value_or(std::vector<Objeto>{});
  const Objeto demonio{DBUS_SERVICE_DBUS, DBUS_PATH_DBUS};
  std::vector<Llamada> pids, nombres;
  for (const auto& o : objetos) {
    pids.push_back(bus.conTexto(demonio, DBUS_INTERFACE_DBUS, "GetConnectionUnixProcessID", o.bus));
    if (esperaNombres) nombres.push_back(bus.propiedad(o, ACCESIBLE, "Name"));
  }
  const auto limite = Reloj::now() + esperaNombres.value_or(std::chrono::milliseconds{0});
  for (size_t i = 0; i < objetos.size(); ++i) {
    const auto pid = pids[i].natural();
    if (!pid || *pid == 0 || *pid > INT32_MAX) continue;
    AppAtspi app{objetos[i], static_cast<int32_t>(*pid), std::nullopt, true};
    if (esperaNombres) {
      app.responde = nombres[i].esperarHasta(limite);
      if (app.responde) app.nombre = nombres[i].texto();
      if (app.nombre && app.nombre->empty()) app.nombre.reset();
    }
    s.raices.emplace(app.pid, app.raiz);
    auto& nombre = s.nombres[app.raiz.bus];
    if (app.nombre)
      nombre = *app.nombre;
    else if (nombre.empty())
      nombre = nombreDeProceso(app.pid).value_or(app.raiz.bus);
    apps.push_back(std::move(app));
  }
  return apps;
}

}  // namespace

AccesibilidadAtspi::AccesibilidadAtspi(ConexionX11& conexion, ServidorVentanas& servidor,
                                       FuenteDeVentanas* ventanas)
    : s_(sesionDe(conexion, servidor)) {
  if (ventanas) s_->ventanas = ventanas;
}

AccesibilidadAtspi::~AccesibilidadAtspi() = default;

ElementoRef AccesibilidadAtspi::aplicacion(int32_t pid) {
  if (!s_->bus) return std::make_shared<AplicacionSinBus>(*s_, s_->ventanas, pid);
  if (auto it = s_->raices.find(pid); it != s_->raices.end())
    return std::make_shared<ElementoAtspi>(s_, it->second, pid);
  for (auto& app : appsDelRegistro(*s_, std::nullopt))
    if (app.pid == pid) return std::make_shared<ElementoAtspi>(s_, app.raiz, pid);
  // Not on the bus: its windows are still the window manager's to move.
  if (s_->ventanas) return std::make_shared<AplicacionDeVentanas>(*s_->ventanas, pid);
  return std::make_shared<ElementoMudo>();
}

namespace {

// Whether the point lies on one of the process's windows on screen, as the window manager
// sees them.
bool tieneVentanaEn(ServidorVentanas& servidor, int32_t pid, double x, double y) {
  for (Window w : servidor.clientes().value_or(std::vector<Window>{})) {
    if (servidor.pidDe(w) != pid || !servidor.enPantalla(w)) continue;
    auto m = servidor.marcoDe(w);
    if (m && x >= m->x && y >= m->y && x < m->x + m->ancho && y < m->y + m->alto) return true;
  }
  return false;
}

}  // namespace

ElementoRef AccesibilidadAtspi::elementoEn(float x, float y) {
  atspi::Bus& bus = s_->b();
  const Punto o = s_->origen();
  const double px = x + o.x, py = y + o.y;
  if (!(std::fabs(px) < 2e9 && std::fabs(py) < 2e9)) return nullptr;
  const int32_t sx = static_cast<int32_t>(std::floor(px)),
                sy = static_cast<int32_t>(std::floor(py));

  auto apps = appsDelRegistro(*s_, std::nullopt);
  const Window activa = s_->servidor.activa();
  const auto frente = activa ? s_->servidor.pidDe(activa) : std::nullopt;
  std::stable_partition(apps.begin(), apps.end(),
                        [&](const AppAtspi& a) { return frente && a.pid == *frente; });
  // Every application is asked at once; one that has not answered by the time its turn
  // comes waits until the others have been looked at.
  std::vector<Llamada> hijos;
  for (auto& app : apps) hijos.push_back(bus.metodo(app.raiz, ACCESIBLE, "GetChildren"));
  const auto corta = Reloj::now() + atspi::ESPERA_CORTA;

  auto buscarEn = [&](Llamada& lista) -> ElementoRef {
    auto marcos = marcosDe(bus, lista);
    activasPrimero(marcos);
    std::vector<Llamada> extensiones;
    for (auto& m : marcos)
      extensiones.push_back(
          bus.conEnteros(m.o, COMPONENTE, "GetExtents", {}, ATSPI_COORD_TYPE_SCREEN));
    for (size_t i = 0; i < marcos.size(); ++i) {
      const auto& m = marcos[i];
      if (!tieneEstado(m.estados, ATSPI_STATE_SHOWING) ||
          tieneEstado(m.estados, ATSPI_STATE_ICONIFIED))
        continue;
      auto r = extensiones[i].extension();
      if (!r || px < r->x || py < r->y || px >= double(r->x) + r->ancho ||
          py >= double(r->y) + r->alto)
        continue;
      // Each container names its child under the point; the deepest one is the element.
      Objeto actual = m.o;
      for (int nivel = 0; nivel < 64; ++nivel) {
        auto hijo = bus.conEnteros(actual, COMPONENTE, "GetAccessibleAtPoint", {sx, sy},
                                   ATSPI_COORD_TYPE_SCREEN)
                        .objeto();
        if (!hijo || hijo->ruta == "/org/a11y/atspi/null" || *hijo == actual) break;
        actual = *hijo;
      }
      return std::make_shared<ElementoAtspi>(s_, actual);
    }
    return nullptr;
  };

  std::vector<size_t> calladas;
  for (size_t i = 0; i < apps.size(); ++i) {
    if (!hijos[i].esperarHasta(corta)) {
      calladas.push_back(i);
      continue;
    }
    if (auto e = buscarEn(hijos[i])) return e;
  }
  for (size_t i : calladas) {
    if (hijos[i].esperarHasta(Reloj::now() + atspi::SILENCIO)) {
      if (auto e = buscarEn(hijos[i])) return e;
    } else if (tieneVentanaEn(s_->servidor, apps[i].pid, x, y)) {
      fallo("la app «" + s_->nombres[apps[i].raiz.bus] + "» no responde");
    }
  }
  return nullptr;
}

bool AccesibilidadAtspi::confiable() {
  bool registro = false;
  appsDelRegistro(*s_, std::nullopt, &registro);
  return s_->encendida && registro;
}

namespace {

// A property's bytes when it is made of 8-bit items; nothing when the window has none.
std::optional<std::string> bytesDe(xcb_connection_t* c, xcb_get_property_cookie_t pedida) {
  xcb_get_property_reply_t* r = xcb_get_property_reply(c, pedida, nullptr);
  if (!r) return std::nullopt;
  std::optional<std::string> bytes;
  if (r->type != XCB_ATOM_NONE && r->format == 8)
    bytes.emplace(static_cast<const char*>(xcb_get_property_value(r)),
                  xcb_get_property_value_length(r));
  free(r);
  return bytes;
}

// The windows of the window list with the process each belongs to, and the bundle identifier
// of each such process: the reverse-DNS application id one of its windows carries, else the
// class of its windows. Every window's owner and properties are asked at once, one wait for
// all: a lookup by name needs them for every application.
struct DuenosDeVentanas {
  std::vector<int32_t> pids;  // of the windows that carry one, front to back
  std::map<int32_t, std::string> bundles;
};

DuenosDeVentanas duenosDeVentanas(SesionAtspi& s) {
  DuenosDeVentanas duenos;
  xcb_connection_t* c = s.conexion.xcb();
  if (!c) return duenos;
  constexpr std::array<std::string_view, 3> NOMBRES = {"_NET_WM_PID", "_GTK_APPLICATION_ID",
                                                       "_KDE_NET_WM_DESKTOP_FILE"};
  std::array<xcb_intern_atom_cookie_t, 3> internados;
  for (size_t i = 0; i < NOMBRES.size(); ++i)
    internados[i] = xcb_intern_atom(c, 1, NOMBRES[i].size(), NOMBRES[i].data());
  const auto clientes = s.servidor.clientes().value_or(std::vector<Window>{});
  std::array<xcb_atom_t, 3> atomos{};
  for (size_t i = 0; i < NOMBRES.size(); ++i) {
    if (auto* r = xcb_intern_atom_reply(c, internados[i], nullptr)) {
      atomos[i] = r->atom;
      free(r);
    }
  }
  // An atom no client has interned names no property of any window.
  auto pedir = [&](xcb_window_t w, xcb_atom_t nombre, xcb_atom_t tipo, uint32_t largo) {
    return nombre == XCB_ATOM_NONE ? std::optional<xcb_get_property_cookie_t>{}
                                   : xcb_get_property(c, 0, w, nombre, tipo, 0, largo);
  };
  struct Pedidas {
    std::optional<xcb_get_property_cookie_t> pid, gtk, kde, clase;
  };
  std::vector<Pedidas> pedidas;
  for (Window w : clientes)
    pedidas.push_back({pedir(w, atomos[0], XCB_ATOM_CARDINAL, 1),
                       pedir(w, atomos[1], XCB_GET_PROPERTY_TYPE_ANY, 1024),
                       pedir(w, atomos[2], XCB_GET_PROPERTY_TYPE_ANY, 1024),
                       pedir(w, XCB_ATOM_WM_CLASS, XCB_ATOM_STRING, 8192)});
  // Every answer is read, in order, so that none is left behind on the connection.
  std::map<int32_t, std::string> clases;
  for (auto& p : pedidas) {
    std::optional<int32_t> pid;
    if (p.pid) {
      if (auto* r = xcb_get_property_reply(c, *p.pid, nullptr)) {
        if (r->type == XCB_ATOM_CARDINAL && r->format == 32 &&
            xcb_get_property_value_length(r) >= 4)
          pid = *static_cast<const int32_t*>(xcb_get_property_value(r));
        free(r);
      }
    }
    std::optional<std::string> id;
    for (auto& pedida : {p.gtk, p.kde}) {
      if (!pedida) continue;
      auto t = bytesDe(c, *pedida);
      if (!id && t && t->find('.') != std::string::npos) id = std::move(t);
    }
    // WM_CLASS is the instance name and the class, each ended by a zero byte.
    std::string clase;
    if (p.clase) {
      const auto bytes = bytesDe(c, *p.clase).value_or("");
      if (auto fin = bytes.find('\0'); fin != std::string::npos)
        clase = std::string(bytes.c_str() + fin + 1);
    }
    if (!pid) continue;
    duenos.pids.push_back(*pid);
    if (id) duenos.bundles.emplace(*pid, std::move(*id));
    if (!clase.empty()) clases.emplace(*pid, std::move(clase));
  }
  // An application id on any of a process's windows comes before the class of its first.
  duenos.bundles.merge(clases);
  return duenos;
}

std::optional<std::string> bundleEn(const DuenosDeVentanas& duenos, int32_t pid) {
  auto it = duenos.bundles.find(pid);
  if (it == duenos.bundles.end()) return std::nullopt;
  return it->second;
}

}  // namespace

EspacioLinux::EspacioLinux(ConexionX11& conexion, ServidorVentanas& servidor,
                           FuenteDeVentanas* ventanas)
    : s_(sesionDe(conexion, servidor)) {
  if (ventanas) s_->ventanas = ventanas;
}

EspacioLinux::~EspacioLinux() = default;

std::vector<Aplicacion> EspacioLinux::lista(std::chrono::milliseconds espera) {
  s_->b();
  bool registro = false;
  auto apps = appsDelRegistro(*s_, espera, &registro);
  if (!registro) fallo("el registro de accesibilidad (AT-SPI) no responde");
  const auto duenos = duenosDeVentanas(*s_);
  std::vector<Aplicacion> lista;
  for (auto& app : apps) {
    Aplicacion a{app.pid, app.nombre, bundleEn(duenos, app.pid), app.responde};
    if (!a.nombre) a.nombre = nombreDeProceso(app.pid);
    lista.push_back(std::move(a));
  }
  for (int32_t pid : duenos.pids) {
    if (pid <= 0 ||
        std::any_of(lista.begin(), lista.end(), [&](const Aplicacion& a) { return a.pid == pid; }))
      continue;
    lista.push_back({pid, nombreDeProceso(pid), bundleEn(duenos, pid)});
  }
  return lista;
}

std::vector<Aplicacion> EspacioLinux::aplicaciones() {
  return lista(atspi::ESPERA_CORTA);
}

std::vector<Aplicacion> EspacioLinux::aplicacionesEsperando() {
  return lista(atspi::SILENCIO);
}

std::optional<Aplicacion> EspacioLinux::porPid(int32_t pid) {
  // Only this application's name is asked for: the others may be silent.
  for (auto& app : appsDelRegistro(*s_, std::nullopt)) {
    if (app.pid != pid) continue;
    auto nombre = s_->bus->propiedad(app.raiz, ACCESIBLE, "Name");
    Aplicacion a{pid, std::nullopt, bundleEn(duenosDeVentanas(*s_), pid), true};
    a.responde = nombre.esperarHasta(Reloj::now() + atspi::SILENCIO);
    if (a.responde) a.nombre = nombre.texto();
    if (a.nombre && a.nombre->empty()) a.nombre.reset();
    if (!a.nombre) a.nombre = nombreDeProceso(pid);
    if (a.nombre) s_->nombres[app.raiz.bus] = *a.nombre;
    return a;
  }
  const auto duenos = duenosDeVentanas(*s_);
  if (std::find(duenos.pids.begin(), duenos.pids.end(), pid) != duenos.pids.end())
    return Aplicacion{pid, nombreDeProceso(pid), bundleEn(duenos, pid)};
  return std::nullopt;
}

std::optional<Aplicacion> EspacioLinux::primerPlano() {
  const Window activa = s_->servidor.activa();
  if (!activa) return std::nullopt;
  auto pid = s_->servidor.pidDe(activa);
  if (!pid) return std::nullopt;
  return porPid(*pid);
}

bool EspacioLinux::activar(int32_t pid) {
  return s_->ventanas && s_->ventanas->activar(pid);
}

}  // namespace tildo
