#include "desktop/atspi/accesibilidad_atspi.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <atspi/atspi.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <set>
#include <string>

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

std::optional<Rect> marcoDe(AtspiAccessible* a, Punto origen) {
  Ref<AtspiComponent> c(atspi_accessible_get_component_iface(a));
  if (!c) return std::nullopt;
  Error e;
  AtspiRect* r = atspi_component_get_extents(c.get(), ATSPI_COORD_TYPE_SCREEN, &e);
  if (!r) return std::nullopt;
  const bool fuera = r->x == G_MININT || r->y == G_MININT;
  const Rect m{r->x - origen.x, r->y - origen.y, double(r->width), double(r->height)};
  g_free(r);
  // Widgets that are not on screen report the smallest coordinate or a negative size, which
  // is no frame at all.
  if (e || fuera || m.ancho < 0 || m.alto < 0) return std::nullopt;
  return m;
}

class ElementoAtspi;

ElementoRef envolver(const std::shared_ptr<SesionAtspi>& s, AtspiAccessible* a,
                     std::optional<int32_t> pid = std::nullopt);

class ElementoAtspi : public Elemento {
 public:
  ElementoAtspi(std::shared_ptr<SesionAtspi> s, AtspiAccessible* a, std::optional<int32_t> pid)
      : s_(std::move(s)), a_(a), pid_(pid) {}

  std::optional<Valor> atributo(std::string_view nombre) override;
  std::optional<std::vector<std::string>> acciones() override;
  int realizar(std::string_view accion) override;
  int fijar(std::string_view, const Valor&) override { return AX_ERROR; }

  AtspiAccessible* atspi() const { return a_.get(); }

 private:
  // One answer of the bus serves each of the attributes it carries once: the walk reads
  // position and size, or enabled and focused, one after the other for the price of one
  // exchange, and a second read of the same attribute asks again.
  struct Lote {
    std::set<std::string, std::less<>> servidos;
  };
  bool servir(std::optional<Lote>& lote, std::string_view nombre) {
    if (lote && !lote->servidos.count(nombre)) {
      lote->servidos.emplace(nombre);
      return true;
    }
    lote = Lote{{std::string(nombre)}};
    return false;
  }

  AtspiRole rol();
  std::optional<Rect> marco(std::string_view nombre);
  std::optional<AtspiStateSet*> estados(std::string_view nombre);
  bool tieneEstado(std::string_view nombre, AtspiStateType estado, bool& leido);
  std::optional<Valor> valor();
  std::optional<Valor> ventanas(std::string_view nombre);
  ElementoRef enfocado();
  std::vector<std::string> nombresCrudos();

  std::shared_ptr<SesionAtspi> s_;
  Ref<AtspiAccessible> a_;
  std::optional<int32_t> pid_;  // set on application elements
  std::optional<AtspiRole> rol_;
  std::optional<Lote> loteMarco_;
  std::optional<Rect> marco_;
  std::optional<Lote> loteEstados_;
  Ref<AtspiStateSet> estados_;
};

ElementoRef envolver(const std::shared_ptr<SesionAtspi>& s, AtspiAccessible* a,
                     std::optional<int32_t> pid) {
  if (!a) return nullptr;
  return std::make_shared<ElementoAtspi>(s, a, pid);
}

// An application with no accessible counterpart: every read fails.
class ElementoMudo : public Elemento {
 public:
  std::optional<Valor> atributo(std::string_view) override { return std::nullopt; }
  std::optional<std::vector<std::string>> acciones() override { return std::nullopt; }
  int realizar(std::string_view) override { return AX_ERROR; }
  int fijar(std::string_view, const Valor&) override { return AX_ERROR; }
};

AtspiRole ElementoAtspi::rol() {
  // An element keeps its role for life, so it is asked once.
  if (!rol_) {
    Error e;
    rol_ = atspi_accessible_get_role(a_.get(), &e);
    if (e) rol_ = ATSPI_ROLE_INVALID;
  }
  return *rol_;
}

std::optional<Rect> ElementoAtspi::marco(std::string_view nombre) {
  if (!servir(loteMarco_, nombre)) marco_ = marcoDe(a_.get(), s_->origen());
  return marco_;
}

std::optional<AtspiStateSet*> ElementoAtspi::estados(std::string_view nombre) {
  if (!servir(loteEstados_, nombre))
    estados_ = Ref<AtspiStateSet>(atspi_accessible_get_state_set(a_.get()));
  if (!estados_) return std::nullopt;
  return estados_.get();
}

bool ElementoAtspi::tieneEstado(std::string_view nombre, AtspiStateType estado, bool& leido) {
  auto e = estados(nombre);
  leido = e.has_value();
  return leido && atspi_state_set_contains(*e, estado);
}

std::optional<Valor> ElementoAtspi::valor() {
  const AtspiRole r = rol();
  if (esMarcable(r)) {
    bool leido = false;
    const bool marcado = tieneEstado("AXValue", ATSPI_STATE_CHECKED, leido) ||
                         (leido && atspi_state_set_contains(estados_.get(), ATSPI_STATE_PRESSED));
    if (!leido) return std::nullopt;
    return Valor(int64_t{marcado ? 1 : 0});
  }
  if (esNumerico(r)) {
    Ref<AtspiValue> v(atspi_accessible_get_value_iface(a_.get()));
    if (v) {
      Error e;
      const double n = atspi_value_get_current_value(v.get(), &e);
      if (!e) return Valor(n);
    }
  }
  Ref<AtspiText> t(atspi_accessible_get_text_iface(a_.get()));
  if (!t) return std::nullopt;
  Error e;
  auto texto = tomarTexto(atspi_text_get_text(t.get(), 0, -1, &e));
  if (e || !texto) return std::nullopt;
  return Valor(std::move(*texto));
}

std::optional<Valor> ElementoAtspi::atributo(std::string_view nombre) {
  if (pid_ && (nombre == "AXWindows" || nombre == "AXMainWindow" || nombre == "AXFocusedWindow"))
    return ventanas(nombre);
  if (pid_ && nombre == "AXFocusedUIElement") {
    if (auto e = enfocado()) return Valor(e);
    return std::nullopt;
  }
  if (nombre == "AXRole") {
    const AtspiRole r = rol();
    if (r == ATSPI_ROLE_INVALID) return std::nullopt;
    // A one-line text is a field; the toolkits give both kinds the same role.
    if (r == ATSPI_ROLE_TEXT) {
      Ref<AtspiStateSet> e(atspi_accessible_get_state_set(a_.get()));
      if (e && atspi_state_set_contains(e.get(), ATSPI_STATE_SINGLE_LINE))
        return Valor(std::string("AXTextField"));
    }
    const Rol* x = rolDe(r);
    return Valor(std::string(x ? x->rol : "AXGroup"));
  }
  if (nombre == "AXSubrole") {
    const Rol* x = rolDe(rol());
    if (!x || !x->subrol) return std::nullopt;
    return Valor(std::string(x->subrol));
  }
  if (nombre == "AXTitle") {
    Error e;
    auto t = tomarTexto(atspi_accessible_get_name(a_.get(), &e));
    if (e || !t) return std::nullopt;
    return Valor(std::move(*t));
  }
  if (nombre == "AXDescription") {
    Error e;
    auto t = tomarTexto(atspi_accessible_get_description(a_.get(), &e));
    if (e || !t) return std::nullopt;
    return Valor(std::move(*t));
  }
  if (nombre == "AXValue") return valor();
  if (nombre == "AXPlaceholderValue") {
    Error e;
    GHashTable* atributos = atspi_accessible_get_attributes(a_.get(), &e);
    if (!atributos) return std::nullopt;
    std::optional<Valor> v;
    if (auto p = static_cast<const char*>(g_hash_table_lookup(atributos, "placeholder-text")))
      v = Valor(std::string(p));
    g_hash_table_unref(atributos);
    return v;
  }
  if (nombre == "AXPosition") {
    auto m = marco(nombre);
    if (!m) return std::nullopt;
    return Valor(Punto{m->x, m->y});
  }
  if (nombre == "AXSize") {
    auto m = marco(nombre);
    if (!m) return std::nullopt;
    return Valor(Medidas{m->ancho, m->alto});
  }
  if (nombre == "AXEnabled" || nombre == "AXFocused" || nombre == "AXMinimized") {
    const AtspiStateType estado = nombre == "AXEnabled"   ? ATSPI_STATE_ENABLED
                                  : nombre == "AXFocused" ? ATSPI_STATE_FOCUSED
                                                          : ATSPI_STATE_ICONIFIED;
    if (nombre == "AXMinimized" && !esVentana(rol())) return std::nullopt;
    bool leido = false;
    const bool si = tieneEstado(nombre, estado, leido);
    if (!leido) return std::nullopt;
    return Valor(si);
  }
  if (nombre == "AXChildren") {
    Error e;
    const gint n = atspi_accessible_get_child_count(a_.get(), &e);
    if (e || n < 0) return std::nullopt;
    std::vector<ElementoRef> hijos;
    hijos.reserve(static_cast<size_t>(n));
    for (gint i = 0; i < n; ++i) {
      Error ei;
      auto h = envolver(s_, atspi_accessible_get_child_at_index(a_.get(), i, &ei));
      // A child that vanished while being read is left out, not the whole list.
      if (h) hijos.push_back(std::move(h));
    }
    return Valor(std::move(hijos));
  }
  if (nombre == "AXParent") {
    if (pid_) return std::nullopt;
    Error e;
    AtspiAccessible* p = atspi_accessible_get_parent(a_.get(), &e);
    if (!p) return std::nullopt;
    // Above an application there is only the registry's desktop, which is no element.
    Error er;
    if (atspi_accessible_get_role(p, &er) == ATSPI_ROLE_DESKTOP_FRAME) {
      g_object_unref(p);
      return std::nullopt;
    }
    return Valor(envolver(s_, p));
  }
  return std::nullopt;
}

std::vector<std::string> ElementoAtspi::nombresCrudos() {
  std::vector<std::string> nombres;
  Ref<AtspiAction> accion(atspi_accessible_get_action_iface(a_.get()));
  if (!accion) return nombres;
  Error e;
  const gint n = atspi_action_get_n_actions(accion.get(), &e);
  for (gint i = 0; !e && i < n; ++i) {
    Error ei;
    nombres.push_back(tomarTexto(atspi_action_get_action_name(accion.get(), i, &ei)).value_or(""));
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
  gint indice = -1;
  if (accion == "AXPress") {
    for (auto p : PULSAR) {
      auto it = std::find(crudos.begin(), crudos.end(), p);
      if (it != crudos.end()) {
        indice = static_cast<gint>(it - crudos.begin());
        break;
      }
    }
  } else {
    auto it = std::find(crudos.begin(), crudos.end(), accion);
    if (it != crudos.end()) indice = static_cast<gint>(it - crudos.begin());
  }
  if (indice < 0) return AX_ERROR;
  Ref<AtspiAction> a(atspi_accessible_get_action_iface(a_.get()));
  Error e;
  return a && atspi_action_do_action(a.get(), indice, &e) && !e ? AX_EXITO : AX_ERROR;
}

// The application's frames and dialogs, for when no window source is plugged in.
std::vector<ElementoRef> marcosDe(const std::shared_ptr<SesionAtspi>& s, AtspiAccessible* app) {
  std::vector<ElementoRef> marcos;
  Error e;
  const gint n = atspi_accessible_get_child_count(app, &e);
  for (gint i = 0; !e && i < n; ++i) {
    Error ei;
    AtspiAccessible* h = atspi_accessible_get_child_at_index(app, i, &ei);
    if (!h) continue;
    Error er;
    if (esVentana(atspi_accessible_get_role(h, &er)))
      marcos.push_back(envolver(s, h));
    else
      g_object_unref(h);
  }
  return marcos;
}

bool conEstado(Elemento& e, AtspiStateType estado) {
  auto* a = static_cast<ElementoAtspi&>(e).atspi();
  Ref<AtspiStateSet> s(atspi_accessible_get_state_set(a));
  return s && atspi_state_set_contains(s.get(), estado);
}

std::optional<Valor> ElementoAtspi::ventanas(std::string_view nombre) {
  if (s_->ventanas) {
    if (nombre == "AXWindows") return Valor(s_->ventanas->ventanas(*pid_));
    auto v =
        nombre == "AXMainWindow" ? s_->ventanas->principal(*pid_) : s_->ventanas->enfocada(*pid_);
    if (!v) return std::nullopt;
    return Valor(v);
  }
  auto marcos = marcosDe(s_, a_.get());
  if (nombre == "AXWindows") return Valor(std::move(marcos));
  for (auto& m : marcos)
    if (conEstado(*m, ATSPI_STATE_ACTIVE)) return Valor(m);
  if (nombre == "AXMainWindow") {
    for (auto& m : marcos)
      if (conEstado(*m, ATSPI_STATE_SHOWING)) return Valor(m);
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
  // Toolkits keep the focus mark on the last focused widget of every window: the active
  // window's is the one with the keyboard.
  auto marcos = marcosDe(s_, a_.get());
  std::stable_partition(marcos.begin(), marcos.end(),
                        [](const ElementoRef& m) { return conEstado(*m, ATSPI_STATE_ACTIVE); });
  for (auto& m : marcos) {
    int presupuesto = 5000;
    auto* raiz = static_cast<ElementoAtspi&>(*m).atspi();
    if (auto* f = focoBajo(raiz, 30, presupuesto)) return envolver(s_, f);
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
    return envolver(s_, static_cast<AtspiAccessible*>(g_object_ref(app.a.get())), pid);
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
    auto marcos = marcosDe(s_, app.a.get());
    std::stable_partition(marcos.begin(), marcos.end(),
                          [](const ElementoRef& m) { return conEstado(*m, ATSPI_STATE_ACTIVE); });
    for (auto& m : marcos) {
      auto* marco = static_cast<ElementoAtspi&>(*m).atspi();
      Ref<AtspiStateSet> s(atspi_accessible_get_state_set(marco));
      if (!s || !atspi_state_set_contains(s.get(), ATSPI_STATE_SHOWING) ||
          atspi_state_set_contains(s.get(), ATSPI_STATE_ICONIFIED))
        continue;
      auto r = marcoDe(marco, {0, 0});
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
