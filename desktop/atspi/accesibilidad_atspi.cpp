#include "desktop/atspi/accesibilidad_atspi.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <atspi/atspi.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <string>

#include "desktop/atspi/bus.h"
#include "desktop/x11/conexion.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {

// What every element of one run shares: the bus, the display and the window source.
struct SesionAtspi {
  ConexionX11& conexion;
  ServidorVentanas& servidor;
  FuenteDeVentanas* ventanas = nullptr;
  bool lista = false;

  SesionAtspi(ConexionX11& c, ServidorVentanas& s) : conexion(c), servidor(s) {}
  // Global points are measured from the primary monitor; AT-SPI speaks root-window pixels.
  Punto origen() { return conexion.origenPrincipal(); }
};

namespace {

// libatspi and GLib report trouble of the bus or of applications on standard error, which
// belongs to nobody here: the replies say what could not be read.
void callarGLib() {
  g_log_set_default_handler([](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);
  g_log_set_writer_func(
      [](GLogLevelFlags, const GLogField*, gsize, gpointer) { return G_LOG_WRITER_HANDLED; },
      nullptr, nullptr);
}

std::shared_ptr<SesionAtspi> sesionDe(ConexionX11& conexion, ServidorVentanas& servidor) {
  static std::weak_ptr<SesionAtspi> viva;
  if (auto s = viva.lock()) return s;
  auto s = std::make_shared<SesionAtspi>(conexion, servidor);
  callarGLib();
  s->lista = atspi_init() >= 0;
  viva = s;
  return s;
}

// An owned reference to a GObject, released when it goes.
template <typename T>
class Ref {
 public:
  Ref() = default;
  explicit Ref(T* p) : p_(p) {}
  Ref(const Ref&) = delete;
  Ref& operator=(const Ref&) = delete;
  Ref(Ref&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  Ref& operator=(Ref&& o) noexcept {
    std::swap(p_, o.p_);
    return *this;
  }
  ~Ref() {
    if (p_) g_object_unref(p_);
  }
  T* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  T* p_ = nullptr;
};

// A GError the call may leave, freed; whether there was one.
class Error {
 public:
  ~Error() {
    if (e_) g_error_free(e_);
  }
  GError** operator&() { return &e_; }
  explicit operator bool() const { return e_ != nullptr; }

 private:
  GError* e_ = nullptr;
};

std::optional<std::string> tomarTexto(gchar* t) {
  if (!t) return std::nullopt;
  std::string s(t);
  g_free(t);
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

using atspi::Llamada;
using atspi::Objeto;

constexpr const char* ACCESIBLE = "org.a11y.atspi.Accessible";

Objeto objetoDe(AtspiAccessible* a) {
  auto* o = ATSPI_OBJECT(a);
  return {o->app && o->app->bus_name ? o->app->bus_name : "", o->path ? o->path : ""};
}

bool tieneEstado(const std::vector<uint32_t>& estados, AtspiStateType e) {
  const auto i = static_cast<size_t>(e);
  return i / 32 < estados.size() && (estados[i / 32] >> (i % 32)) & 1u;
}

// A frame from an answer of GetExtents in screen pixels, in global points.
std::optional<Rect> marcoDe(std::optional<atspi::Extension> e, Punto origen) {
  // Widgets that are not on screen report the smallest coordinate or a negative size, which
  // is no frame at all.
  if (!e || e->x == G_MININT || e->y == G_MININT || e->ancho < 0 || e->alto < 0)
    return std::nullopt;
  return Rect{e->x - origen.x, e->y - origen.y, double(e->ancho), double(e->alto)};
}

// Everything the walk asks of one element, sent at once: one wait for all the answers. What
// only some interfaces answer (text, value, actions) follows once the interfaces are known,
// rather than asking every element questions most cannot answer.
struct Lote {
  // Properties are asked one by one: Qt 6.4 applications crash on Properties.GetAll.
  Llamada rol, nombre, descripcion, cuantosHijos, estados, interfaces, extension, hijos;
  bool completo = false;
  bool sinHijos = false;  // known from the child count, so the list is not asked for
  Llamada texto, valor, cuantasAcciones;
  // The first action names are asked along, since most elements that act have few.
  std::array<Llamada, 3> acciones;
  std::set<std::string, std::less<>> servidos;
};

std::unique_ptr<Lote> pedirLote(DBusConnection* bus, const Objeto& o) {
  auto l = std::make_unique<Lote>();
  l->rol = Llamada::metodo(bus, o, ACCESIBLE, "GetRole");
  l->nombre = Llamada::propiedad(bus, o, ACCESIBLE, "Name");
  l->descripcion = Llamada::propiedad(bus, o, ACCESIBLE, "Description");
  l->cuantosHijos = Llamada::propiedad(bus, o, ACCESIBLE, "ChildCount");
  l->estados = Llamada::metodo(bus, o, ACCESIBLE, "GetState");
  l->interfaces = Llamada::metodo(bus, o, ACCESIBLE, "GetInterfaces");
  l->extension = Llamada::conEnteros(bus, o, "org.a11y.atspi.Component", "GetExtents", {},
                                     ATSPI_COORD_TYPE_SCREEN);
  return l;
}

void completar(DBusConnection* bus, const Objeto& o, Lote& l) {
  if (l.completo) return;
  l.completo = true;
  l.sinHijos = l.cuantosHijos.entero() == 0;
  if (!l.sinHijos) l.hijos = Llamada::metodo(bus, o, ACCESIBLE, "GetChildren");
  const auto interfaces = l.interfaces.textos().value_or(std::vector<std::string>{});
  auto tiene = [&](const char* i) {
    return std::find(interfaces.begin(), interfaces.end(), i) != interfaces.end();
  };
  const auto rol = static_cast<AtspiRole>(l.rol.natural().value_or(ATSPI_ROLE_INVALID));
  if (esNumerico(rol) && tiene("org.a11y.atspi.Value"))
    l.valor = Llamada::propiedad(bus, o, "org.a11y.atspi.Value", "CurrentValue");
  if (!esMarcable(rol) && tiene("org.a11y.atspi.Text"))
    l.texto = Llamada::conEnteros(bus, o, "org.a11y.atspi.Text", "GetText", {0, -1});
  if (tiene("org.a11y.atspi.Action")) {
    l.cuantasAcciones = Llamada::propiedad(bus, o, "org.a11y.atspi.Action", "NActions");
    for (size_t i = 0; i < l.acciones.size(); ++i)
      l.acciones[i] = Llamada::conEnteros(bus, o, "org.a11y.atspi.Action", "GetName",
                                          {static_cast<int32_t>(i)});
  }
}

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
  ElementoAtspi(std::shared_ptr<SesionAtspi> s, Objeto o, std::optional<int32_t> pid = {},
                AtspiAccessible* app = nullptr)
      : s_(std::move(s)), o_(std::move(o)), pid_(pid), app_(app) {}

  std::optional<Valor> atributo(std::string_view nombre) override;
  std::optional<std::vector<std::string>> acciones() override;
  int realizar(std::string_view accion) override;
  int fijar(std::string_view, const Valor&) override { return AX_ERROR; }

  void preguntar() {
    if (!lote_) lote_ = pedirLote(bus(), o_);
  }
  void completarSiListo() {
    if (lote_ && !lote_->completo && lote_->interfaces.lista() && lote_->rol.lista() &&
        lote_->cuantosHijos.lista())
      completar(bus(), o_, *lote_);
  }
  void hermanos(std::shared_ptr<Hermanos> h, size_t i) {
    hermanos_ = std::move(h);
    indice_ = i;
  }

 private:
  DBusConnection* bus() const { return atspi_get_a11y_bus(); }
  // The answers for this read: each batch serves every attribute once; a second read of the
  // same attribute asks afresh, so a moving element is seen moving.
  Lote& lote(std::string_view nombre) {
    if (hermanos_) {
      hermanos_->adelantar(indice_ + 1);
      grupo_ = std::move(hermanos_);
    }
    if (!lote_ || lote_->servidos.count(nombre)) lote_ = pedirLote(bus(), o_);
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
    if (!rol_) rol_ = static_cast<AtspiRole>(l.rol.natural().value_or(ATSPI_ROLE_INVALID));
    return *rol_;
  }
  std::optional<std::vector<uint32_t>> estados(std::string_view nombre) {
    return lote(nombre).estados.naturales();
  }
  std::optional<Valor> valor();
  std::optional<Valor> ventanas(std::string_view nombre);
  ElementoRef enfocado();
  std::vector<std::string> nombresCrudos();

  std::shared_ptr<SesionAtspi> s_;
  Objeto o_;
  std::optional<int32_t> pid_;  // set on application elements
  Ref<AtspiAccessible> app_;    // the application, on application elements
  std::optional<AtspiRole> rol_;
  std::unique_ptr<Lote> lote_;
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

ElementoRef envolver(const std::shared_ptr<SesionAtspi>& s, AtspiAccessible* a) {
  if (!a) return nullptr;
  auto e = std::make_shared<ElementoAtspi>(s, objetoDe(a));
  g_object_unref(a);
  return e;
}

// An application with no accessible counterpart: every read fails.
class ElementoMudo : public Elemento {
 public:
  std::optional<Valor> atributo(std::string_view) override { return std::nullopt; }
  std::optional<std::vector<std::string>> acciones() override { return std::nullopt; }
  int realizar(std::string_view) override { return AX_ERROR; }
  int fijar(std::string_view, const Valor&) override { return AX_ERROR; }
};

std::optional<Valor> ElementoAtspi::valor() {
  Lote& l = loteCompleto("AXValue");
  const AtspiRole r = rol(l);
  if (esMarcable(r)) {
    auto e = l.estados.naturales();
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
      auto e = l.estados.naturales();
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
    auto t = (nombre == "AXTitle" ? l.nombre : l.descripcion).texto();
    if (!t) return std::nullopt;
    return Valor(std::move(*t));
  }
  if (nombre == "AXValue") return valor();
  if (nombre == "AXPlaceholderValue") {
    auto p = Llamada::metodo(bus(), o_, ACCESIBLE, "GetAttributes").atributo("placeholder-text");
    if (!p) return std::nullopt;
    return Valor(std::move(*p));
  }
  if (nombre == "AXPosition" || nombre == "AXSize") {
    auto m = marcoDe(lote(nombre).extension.extension(), s_->origen());
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
    if (l.sinHijos) return Valor(std::vector<ElementoRef>{});
    auto objetos = l.hijos.objetos();
    if (!objetos) return std::nullopt;
    auto grupo = std::make_shared<Hermanos>();
    std::vector<ElementoRef> hijos;
    hijos.reserve(objetos->size());
    for (size_t i = 0; i < objetos->size(); ++i) {
      auto h = std::make_shared<ElementoAtspi>(s_, (*objetos)[i]);
      h->hermanos(grupo, i);
      grupo->lista.push_back(h);
      hijos.push_back(std::move(h));
    }
    grupo->adelantar(0);
    return Valor(std::move(hijos));
  }
  if (nombre == "AXParent") {
    if (pid_) return std::nullopt;
    auto p = Llamada::propiedad(bus(), o_, ACCESIBLE, "Parent").objeto();
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
  const int32_t n = l.cuantasAcciones.entero().value_or(0);
  std::vector<Llamada> resto;
  for (int32_t i = static_cast<int32_t>(l.acciones.size()); i < n; ++i)
    resto.push_back(Llamada::conEnteros(bus(), o_, "org.a11y.atspi.Action", "GetName", {i}));
  std::vector<std::string> nombres;
  for (int32_t i = 0; i < n; ++i) {
    auto& llamada =
        static_cast<size_t>(i) < l.acciones.size() ? l.acciones[i] : resto[i - l.acciones.size()];
    nombres.push_back(llamada.texto().value_or(""));
  }
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
  auto hecho = Llamada::conEnteros(bus(), o_, "org.a11y.atspi.Action", "DoAction", {indice});
  return hecho.booleano() == true ? AX_EXITO : AX_ERROR;
}

// The application's frames and dialogs.
std::vector<Ref<AtspiAccessible>> marcosDe(AtspiAccessible* app) {
  std::vector<Ref<AtspiAccessible>> marcos;
  Error e;
  const gint n = atspi_accessible_get_child_count(app, &e);
  for (gint i = 0; !e && i < n; ++i) {
    Error ei;
    Ref<AtspiAccessible> h(atspi_accessible_get_child_at_index(app, i, &ei));
    if (!h) continue;
    Error er;
    if (esVentana(atspi_accessible_get_role(h.get(), &er))) marcos.push_back(std::move(h));
  }
  return marcos;
}

bool conEstado(AtspiAccessible* a, AtspiStateType estado) {
  Ref<AtspiStateSet> s(atspi_accessible_get_state_set(a));
  return s && atspi_state_set_contains(s.get(), estado);
}

// The active frames first: toolkits keep the focus mark on the last focused widget of every
// window, and the active window's is the one with the keyboard.
void activasPrimero(std::vector<Ref<AtspiAccessible>>& marcos) {
  std::stable_partition(marcos.begin(), marcos.end(), [](const Ref<AtspiAccessible>& m) {
    return conEstado(m.get(), ATSPI_STATE_ACTIVE);
  });
}

std::optional<Valor> ElementoAtspi::ventanas(std::string_view nombre) {
  if (s_->ventanas) {
    if (nombre == "AXWindows") return Valor(s_->ventanas->ventanas(*pid_));
    auto v =
        nombre == "AXMainWindow" ? s_->ventanas->principal(*pid_) : s_->ventanas->enfocada(*pid_);
    if (!v) return std::nullopt;
    return Valor(v);
  }
  if (!app_) return std::nullopt;
  auto marcos = marcosDe(app_.get());
  auto elemento = [&](const Ref<AtspiAccessible>& m) {
    return ElementoRef(std::make_shared<ElementoAtspi>(s_, objetoDe(m.get())));
  };
  if (nombre == "AXWindows") {
    std::vector<ElementoRef> lista;
    for (auto& m : marcos) lista.push_back(elemento(m));
    return Valor(std::move(lista));
  }
  for (auto& m : marcos)
    if (conEstado(m.get(), ATSPI_STATE_ACTIVE)) return Valor(elemento(m));
  if (nombre == "AXMainWindow") {
    for (auto& m : marcos)
      if (conEstado(m.get(), ATSPI_STATE_SHOWING)) return Valor(elemento(m));
  }
  return std::nullopt;
}

// The first focused element below the element, by the application's own search when it has
// one, else by a bounded walk through what is showing.
AtspiAccessible* focoBajo(AtspiAccessible* raiz, int profundidad, int& presupuesto) {
  Ref<AtspiCollection> coleccion(atspi_accessible_get_collection_iface(raiz));
  if (coleccion) {
    Ref<AtspiStateSet> buscado(atspi_state_set_new(nullptr));
    atspi_state_set_add(buscado.get(), ATSPI_STATE_FOCUSED);
    Ref<AtspiMatchRule> regla(atspi_match_rule_new(
        buscado.get(), ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_ALL, nullptr,
        ATSPI_Collection_MATCH_ALL, nullptr, ATSPI_Collection_MATCH_ALL, FALSE));
    Error e;
    GArray* hallados = atspi_collection_get_matches(
        coleccion.get(), regla.get(), ATSPI_Collection_SORT_ORDER_CANONICAL, 1, TRUE, &e);
    if (hallados) {
      AtspiAccessible* primero = nullptr;
      for (guint i = 0; i < hallados->len; ++i) {
        auto* a = g_array_index(hallados, AtspiAccessible*, i);
        if (!primero)
          primero = a;
        else
          g_object_unref(a);
      }
      g_array_free(hallados, TRUE);
      if (!e) return primero;
      if (primero) g_object_unref(primero);
    }
  }
  Error e;
  const gint n = atspi_accessible_get_child_count(raiz, &e);
  for (gint i = 0; !e && i < n && profundidad > 0 && presupuesto-- > 0; ++i) {
    Error ei;
    AtspiAccessible* h = atspi_accessible_get_child_at_index(raiz, i, &ei);
    if (!h) continue;
    Ref<AtspiStateSet> s(atspi_accessible_get_state_set(h));
    if (s && atspi_state_set_contains(s.get(), ATSPI_STATE_FOCUSED)) return h;
    if (s && atspi_state_set_contains(s.get(), ATSPI_STATE_SHOWING)) {
      if (auto* f = focoBajo(h, profundidad - 1, presupuesto)) {
        g_object_unref(h);
        return f;
      }
    }
    g_object_unref(h);
  }
  return nullptr;
}

ElementoRef ElementoAtspi::enfocado() {
  if (!app_) return nullptr;
  auto marcos = marcosDe(app_.get());
  activasPrimero(marcos);
  for (auto& m : marcos) {
    int presupuesto = 5000;
    if (auto* f = focoBajo(m.get(), 30, presupuesto)) return envolver(s_, f);
  }
  return nullptr;
}

// The registry's applications, each with its pid.
struct AppAtspi {
  Ref<AtspiAccessible> a;
  int32_t pid = 0;
  std::optional<std::string> nombre;
};

std::vector<AppAtspi> appsDelRegistro(const SesionAtspi& s) {
  std::vector<AppAtspi> apps;
  if (!s.lista) return apps;
  Ref<AtspiAccessible> escritorio(atspi_get_desktop(0));
  if (!escritorio) return apps;
  Error e;
  const gint n = atspi_accessible_get_child_count(escritorio.get(), &e);
  for (gint i = 0; !e && i < n; ++i) {
    Error ei;
    Ref<AtspiAccessible> app(atspi_accessible_get_child_at_index(escritorio.get(), i, &ei));
    if (!app) continue;
    Error ep;
    const guint pid = atspi_accessible_get_process_id(app.get(), &ep);
    if (ep || pid == 0 || pid > INT32_MAX) continue;
    Error en;
    auto nombre = tomarTexto(atspi_accessible_get_name(app.get(), &en));
    if (nombre && nombre->empty()) nombre.reset();
    apps.push_back({std::move(app), static_cast<int32_t>(pid), std::move(nombre)});
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
  for (auto& app : appsDelRegistro(*s_)) {
    if (app.pid != pid) continue;
    auto* a = static_cast<AtspiAccessible*>(g_object_ref(app.a.get()));
    return std::make_shared<ElementoAtspi>(s_, objetoDe(a), pid, a);
  }
  // Not on the bus: its windows are still the window manager's to move.
  if (s_->ventanas) return std::make_shared<AplicacionDeVentanas>(*s_->ventanas, pid);
  return std::make_shared<ElementoMudo>();
}

ElementoRef AccesibilidadAtspi::elementoEn(float x, float y) {
  const Punto o = s_->origen();
  const double px = x + o.x, py = y + o.y;
  if (!(std::fabs(px) < 2e9 && std::fabs(py) < 2e9)) return nullptr;
  const gint sx = static_cast<gint>(std::floor(px)), sy = static_cast<gint>(std::floor(py));

  auto apps = appsDelRegistro(*s_);
  const Window activa = s_->servidor.activa();
  const auto frente = activa ? s_->servidor.pidDe(activa) : std::nullopt;
  std::stable_partition(apps.begin(), apps.end(),
                        [&](const AppAtspi& a) { return frente && a.pid == *frente; });
  for (auto& app : apps) {
    auto marcos = marcosDe(app.a.get());
    activasPrimero(marcos);
    for (auto& m : marcos) {
      auto* marco = m.get();
      Ref<AtspiStateSet> s(atspi_accessible_get_state_set(marco));
      if (!s || !atspi_state_set_contains(s.get(), ATSPI_STATE_SHOWING) ||
          atspi_state_set_contains(s.get(), ATSPI_STATE_ICONIFIED))
        continue;
      std::optional<Rect> r;
      if (Ref<AtspiComponent> c{atspi_accessible_get_component_iface(marco)}) {
        Error e;
        if (AtspiRect* x = atspi_component_get_extents(c.get(), ATSPI_COORD_TYPE_SCREEN, &e)) {
          if (!e) r = Rect{double(x->x), double(x->y), double(x->width), double(x->height)};
          g_free(x);
        }
      }
      if (!r || px < r->x || py < r->y || px >= r->x + r->ancho || py >= r->y + r->alto) continue;
      // Each container names its child under the point; the deepest one is the element.
      AtspiAccessible* actual = static_cast<AtspiAccessible*>(g_object_ref(marco));
      for (int i = 0; i < 64; ++i) {
        Ref<AtspiComponent> c(atspi_accessible_get_component_iface(actual));
        if (!c) break;
        Error e;
        AtspiAccessible* hijo =
            atspi_component_get_accessible_at_point(c.get(), sx, sy, ATSPI_COORD_TYPE_SCREEN, &e);
        if (!hijo || e || hijo == actual) {
          if (hijo) g_object_unref(hijo);
          break;
        }
        g_object_unref(actual);
        actual = hijo;
      }
      return envolver(s_, actual);
    }
  }
  return nullptr;
}

bool AccesibilidadAtspi::confiable() {
  if (!s_->lista) return false;
  Ref<AtspiAccessible> escritorio(atspi_get_desktop(0));
  if (!escritorio) return false;
  Error e;
  atspi_accessible_get_child_count(escritorio.get(), &e);
  return !e;
}

namespace {

std::optional<std::string> textoDeVentana(Display* d, Window w, const char* propiedad) {
  Atom real = None;
  int formato = 0;
  unsigned long n = 0, resto = 0;
  unsigned char* datos = nullptr;
  const Atom nombre = XInternAtom(d, propiedad, False);
  if (XGetWindowProperty(d, w, nombre, 0, 1024, False, AnyPropertyType, &real, &formato, &n, &resto,
                         &datos) != Success ||
      !datos)
    return std::nullopt;
  std::string s(reinterpret_cast<char*>(datos), formato == 8 ? n : 0);
  XFree(datos);
  if (s.empty()) return std::nullopt;
  return s;
}

// The bundle identifier of a process: the reverse-DNS application id its windows carry, else
// the class of its windows.
std::optional<std::string> bundleDe(ServidorVentanas& servidor, int32_t pid) {
  Display* d = servidor.pantalla();
  if (!d) return std::nullopt;
  auto clientes = servidor.clientes();
  if (!clientes) return std::nullopt;
  std::optional<std::string> clase;
  for (Window w : *clientes) {
    if (servidor.pidDe(w) != pid) continue;
    for (const char* p : {"_GTK_APPLICATION_ID", "_KDE_NET_WM_DESKTOP_FILE"}) {
      auto id = textoDeVentana(d, w, p);
      if (id && id->find('.') != std::string::npos) return id;
    }
    XClassHint pista{};
    if (!clase && XGetClassHint(d, w, &pista)) {
      if (pista.res_class && *pista.res_class) clase = std::string(pista.res_class);
      if (pista.res_name) XFree(pista.res_name);
      if (pista.res_class) XFree(pista.res_class);
    }
  }
  return clase;
}

}  // namespace

EspacioLinux::EspacioLinux(ConexionX11& conexion, ServidorVentanas& servidor,
                           FuenteDeVentanas* ventanas)
    : s_(sesionDe(conexion, servidor)) {
  if (ventanas) s_->ventanas = ventanas;
}

EspacioLinux::~EspacioLinux() = default;

std::vector<Aplicacion> EspacioLinux::aplicaciones() {
  std::vector<Aplicacion> lista;
  for (auto& app : appsDelRegistro(*s_)) {
    Aplicacion a{app.pid, app.nombre, bundleDe(s_->servidor, app.pid)};
    if (!a.nombre) a.nombre = nombreDeProceso(app.pid);
    lista.push_back(std::move(a));
  }
  if (auto clientes = s_->servidor.clientes()) {
    for (Window w : *clientes) {
      auto pid = s_->servidor.pidDe(w);
      if (!pid || *pid <= 0) continue;
      if (std::any_of(lista.begin(), lista.end(),
                      [&](const Aplicacion& a) { return a.pid == *pid; }))
        continue;
      lista.push_back({*pid, nombreDeProceso(*pid), bundleDe(s_->servidor, *pid)});
    }
  }
  return lista;
}

std::optional<Aplicacion> EspacioLinux::porPid(int32_t pid) {
  for (auto& a : aplicaciones())
    if (a.pid == pid) return a;
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
