// app-hostil MODO: an application on the accessibility bus that breaks the rules a client of
// AT-SPI relies on. It registers with the registry as toolkits do (org.a11y.atspi.Socket.Embed),
// answers org.a11y.atspi.Accessible and its companions on its own objects, and maps a plain X
// window titled "App hostil" carrying its pid, so that lookups by window find it. Its tree is
// the application, a frame over the X window, and what the mode puts in the frame:
//
//   bucle       a button whose child is the application, an element that is its own child, and
//               two untitled groups each holding the frame again (a walk that revisits goes
//               exponential); the same loops in the application's cache
//   cienmil     100 000 buttons
//   megas       the application, the frame and 60 labels with names, descriptions and texts of
//               1 MB each; 64 labels whose action count is 2^31 - 1
//   utf8        names with what libdbus lets through of invalid UTF-8 (it refuses to send bytes
//               that are not UTF-8: the program prints "utf8 rechazado" when it does): control
//               characters, noncharacters, a lone combining mark, bidirectional overrides
//   extremos    extents and values at the ends of their types: ±2^31, NaN and the infinities;
//               child counts and state sets that lie
//   firma       every reply of a signature other than the one asked for
//   errores     an error for every call, after registering
//   referencias children, parents and elements at a point with bus names and paths that are
//               none ("", "no es ruta") or that name nobody
//   mudo        registers, then never answers again
//   dormida     says its toolkit is Chromium and keeps the frame's one child the null reference,
//               as Chromium does until an assistive technology wakes it; this one never wakes
//
// Prints "listo" once it is registered and its window is mapped; runs until it is ended.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>
#include <atspi/atspi-constants.h>
#include <dbus/dbus.h>
#include <unistd.h>

#include <array>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <limits>
#include <optional>
#include <string>
#include <vector>

namespace {

enum class Modo {
  bucle,
  cienmil,
  megas,
  utf8,
  extremos,
  firma,
  errores,
  referencias,
  mudo,
  dormida
};

Modo modo;
bool registrada = false;
Display* d = nullptr;
Window ventana = 0;
std::string yo;  // our unique name on the accessibility bus

constexpr const char* RAIZ = "/org/a11y/atspi/accessible/root";
constexpr const char* MARCO = "/h/marco";
constexpr int CIEN_MIL = 100000;
constexpr int ETIQUETAS_GRANDES = 60;
constexpr int ACCIONES_SIN_FIN = 64;

std::string repetido(const std::string& trozo, size_t bytes) {
  std::string s;
  s.reserve(bytes + trozo.size());
  while (s.size() < bytes) s += trozo;
  return s;
}

// 3-byte characters, so a cut at any power of two falls inside one.
const std::string& mega() {
  static const std::string m = repetido("€", 1 << 20);
  return m;
}

struct Ref {
  std::string bus, ruta;
};

struct Nodo {
  uint32_t rol = ATSPI_ROLE_PANEL;
  std::string nombre, descripcion;
  std::vector<Ref> hijos;
  Ref padre;
  std::vector<uint32_t> estados;
  std::vector<std::string> interfaces = {"org.a11y.atspi.Accessible", "org.a11y.atspi.Component"};
  std::vector<std::string> acciones;
  int32_t cuantasAcciones = -1;  // -1: as many as there are names
  std::optional<std::string> texto;
  std::optional<double> valor;
  int32_t cuantosHijos = -1;  // -1: as many as there are children
  // Extents in screen pixels; none: the X window's.
  std::optional<std::array<int32_t, 4>> extension;
  std::optional<Ref> enPunto;  // the child at any point
};

Ref propia(const std::string& ruta) {
  return {yo, ruta};
}

std::vector<uint32_t> estados(std::initializer_list<AtspiStateType> lista) {
  std::vector<uint32_t> v(2, 0);
  for (auto e : lista) v[e / 32] |= 1u << (e % 32);
  return v;
}

const std::vector<uint32_t>& visible() {
  static const auto v = estados(
      {ATSPI_STATE_ENABLED, ATSPI_STATE_SENSITIVE, ATSPI_STATE_SHOWING, ATSPI_STATE_VISIBLE});
  return v;
}

Nodo boton(const std::string& nombre) {
  Nodo n;
  n.rol = ATSPI_ROLE_PUSH_BUTTON;
  n.nombre = nombre;
  n.estados = visible();
  n.interfaces.push_back("org.a11y.atspi.Action");
  n.acciones = {"click"};
  return n;
}

// The frame's children in each mode, by path under /h/.
std::vector<std::string> hijosDelMarco() {
  switch (modo) {
    case Modo::bucle:
      return {"/h/vuelta", "/h/espejo", "/h/rombo1", "/h/rombo2", "/h/bien"};
    case Modo::megas: {
      std::vector<std::string> v;
      for (int i = 0; i < ETIQUETAS_GRANDES; ++i) v.push_back("/h/grande" + std::to_string(i));
      for (int i = 0; i < ACCIONES_SIN_FIN; ++i) v.push_back("/h/acciones" + std::to_string(i));
      return v;
    }
    case Modo::utf8:
      return {"/h/control", "/h/nocaracter", "/h/marca", "/h/bidi"};
    case Modo::extremos:
      return {"/h/minimo", "/h/maximo", "/h/nan", "/h/infinito", "/h/negativo", "/h/mentira"};
    case Modo::referencias:
      return {"/h/bien"};
    default:
      return {};
  }
}

std::optional<Nodo> nodo(const std::string& ruta) {
  if (ruta == RAIZ) {
    Nodo n;
    n.rol = ATSPI_ROLE_APPLICATION;
    n.nombre = modo == Modo::megas ? "App hostil " + mega() : "App hostil";
    n.hijos = {propia(MARCO)};
    n.padre = {"org.a11y.atspi.Registry", RAIZ};
    n.interfaces = {"org.a11y.atspi.Accessible", "org.a11y.atspi.Application"};
    return n;
  }
  if (ruta == MARCO) {
    Nodo n;
    n.rol = ATSPI_ROLE_FRAME;
    n.nombre = modo == Modo::megas ? mega() : "Ventana hostil";
    n.padre = propia(RAIZ);
    n.estados = estados({ATSPI_STATE_ACTIVE, ATSPI_STATE_ENABLED, ATSPI_STATE_SENSITIVE,
                         ATSPI_STATE_SHOWING, ATSPI_STATE_VISIBLE});
    if (modo == Modo::cienmil) {
      n.cuantosHijos = CIEN_MIL;
    } else if (modo == Modo::dormida) {
      n.hijos = {Ref{yo, "/org/a11y/atspi/null"}};
    } else {
      for (const auto& h : hijosDelMarco()) n.hijos.push_back(propia(h));
    }
    if (!n.hijos.empty()) n.enPunto = n.hijos.front();
    if (modo == Modo::extremos) n.enPunto = propia("/h/minimo");
    return n;
  }
  if (ruta.rfind("/h/", 0) != 0) return std::nullopt;
  const std::string h = ruta.substr(3);
  Nodo n;
  n.padre = propia(MARCO);
  switch (modo) {
    case Modo::bucle:
      if (h == "vuelta") {
        n = boton("Vuelta");
        n.padre = propia(MARCO);
        n.hijos = {propia(RAIZ)};
        n.enPunto = propia(RAIZ);
      } else if (h == "espejo") {
        n.nombre = "Espejo";
        n.padre = propia(ruta);
        n.hijos = {propia(ruta)};
        n.enPunto = propia(ruta);
        n.estados = visible();
      } else if (h == "rombo1" || h == "rombo2") {
        n.hijos = {propia(MARCO)};
        n.estados = visible();
      } else if (h == "bien") {
        n = boton("Bien");
        n.padre = propia(MARCO);
      } else {
        return std::nullopt;
      }
      return n;
    case Modo::cienmil: {
      if (h.rfind("b", 0) != 0) return std::nullopt;
      n = boton("Botón " + h.substr(1));
      n.padre = propia(MARCO);
      return n;
    }
    case Modo::megas:
      if (h.rfind("grande", 0) == 0) {
        n.rol = ATSPI_ROLE_LABEL;
        n.nombre = mega();
        n.descripcion = mega();
        n.texto = mega();
        n.interfaces.push_back("org.a11y.atspi.Text");
      } else if (h.rfind("acciones", 0) == 0) {
        n = boton("Acciones " + h.substr(8));
        n.padre = propia(MARCO);
        n.cuantasAcciones = INT32_MAX;
      } else {
        return std::nullopt;
      }
      n.estados = visible();
      return n;
    case Modo::utf8:
      n = boton("");
      n.padre = propia(MARCO);
      if (h == "control") n.nombre = std::string("ctl \x01\x02\x1b[31m\x7f\t\n\r fin", 20);
      if (h == "nocaracter") n.nombre = "no \xef\xbf\xbe \xef\xbf\xbf \xf4\x8f\xbf\xbf fin";
      if (h == "marca") n.nombre = "\xcc\x81 marca";
      if (h == "bidi") n.nombre = "\xe2\x80\xae bidi \xe2\x80\xa8 fin";
      n.descripcion = n.nombre;
      return n;
    case Modo::extremos:
      n.rol = ATSPI_ROLE_SLIDER;
      n.nombre = "Extremo " + h;
      n.estados = visible();
      n.interfaces.push_back("org.a11y.atspi.Value");
      if (h == "minimo") {
        n.extension = {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}};
        n.valor = -std::numeric_limits<double>::max();
        n.enPunto = propia("/h/maximo");
      } else if (h == "maximo") {
        n.extension = {{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}};
        n.valor = std::numeric_limits<double>::max();
      } else if (h == "nan") {
        n.extension = {{INT32_MIN + 1, 0, INT32_MAX, INT32_MAX}};
        n.valor = std::nan("");
      } else if (h == "infinito") {
        n.extension = {{0, INT32_MIN + 1, 1, INT32_MAX}};
        n.valor = std::numeric_limits<double>::infinity();
      } else if (h == "negativo") {
        n.extension = {{-100, -100, INT32_MIN, INT32_MIN}};
        n.valor = -std::numeric_limits<double>::infinity();
      } else if (h == "mentira") {
        // Claims children it does not have, and states past any the protocol knows.
        n.cuantosHijos = INT32_MAX;
        n.estados = std::vector<uint32_t>(10000, 0xffffffffu);
        n.extension = {{0, 0, 0, 0}};
      } else {
        return std::nullopt;
      }
      return n;
    case Modo::referencias:
      if (h != "bien") return std::nullopt;
      n = boton("Bien");
      n.padre = {"", "no es ruta"};
      return n;
    default:
      return std::nullopt;
  }
}

// The references that name nobody, or are none at all.
const std::vector<Ref>& malas() {
  static const std::vector<Ref> v = {
      {"", "no es ruta"},
      {"", "/"},
      {"no es nombre", "/h/bien"},
      {":1.99999", "/no/existe"},
      {yo, "no es ruta"},
      {yo, "//doble"},
      {yo, ""},
      {":", "/"},
      {yo, "/h/bien"},
  };
  return v;
}

// --- Writing replies ---------------------------------------------------------------------------

void cadena(DBusMessageIter& it, const std::string& s) {
  const char* c = s.c_str();
  if (!dbus_message_iter_append_basic(&it, DBUS_TYPE_STRING, &c)) {
    // libdbus refuses text that is not UTF-8 (or a NUL inside): an empty one goes instead.
    const char* vacio = "";
    dbus_message_iter_append_basic(&it, DBUS_TYPE_STRING, &vacio);
  }
}

// A reference as (so) when it can be one; bad ones as (ss), the only way to send them.
void referencia(DBusMessageIter& it, const Ref& r, bool comoTextos) {
  DBusMessageIter s;
  dbus_message_iter_open_container(&it, DBUS_TYPE_STRUCT, nullptr, &s);
  cadena(s, r.bus);
  const char* ruta = r.ruta.c_str();
  dbus_message_iter_append_basic(&s, comoTextos ? DBUS_TYPE_STRING : DBUS_TYPE_OBJECT_PATH, &ruta);
  dbus_message_iter_close_container(&it, &s);
}

void referencias(DBusMessageIter& it, const std::vector<Ref>& lista, bool comoTextos) {
  DBusMessageIter a;
  dbus_message_iter_open_container(&it, DBUS_TYPE_ARRAY, comoTextos ? "(ss)" : "(so)", &a);
  for (const auto& r : lista) referencia(a, r, comoTextos);
  dbus_message_iter_close_container(&it, &a);
}

void naturales(DBusMessageIter& it, const std::vector<uint32_t>& v) {
  DBusMessageIter a;
  dbus_message_iter_open_container(&it, DBUS_TYPE_ARRAY, "u", &a);
  for (uint32_t n : v) dbus_message_iter_append_basic(&a, DBUS_TYPE_UINT32, &n);
  dbus_message_iter_close_container(&it, &a);
}

void cadenas(DBusMessageIter& it, const std::vector<std::string>& v) {
  DBusMessageIter a;
  dbus_message_iter_open_container(&it, DBUS_TYPE_ARRAY, "s", &a);
  for (const auto& s : v) cadena(a, s);
  dbus_message_iter_close_container(&it, &a);
}

template <typename T>
void basico(DBusMessageIter& it, int tipo, T v) {
  dbus_message_iter_append_basic(&it, tipo, &v);
}

void variante(DBusMessageIter& it, const char* firma,
              const std::function<void(DBusMessageIter&)>& dentro) {
  DBusMessageIter v;
  dbus_message_iter_open_container(&it, DBUS_TYPE_VARIANT, firma, &v);
  dentro(v);
  dbus_message_iter_close_container(&it, &v);
}

std::array<int32_t, 4> extensionDe(const Nodo& n) {
  if (n.extension) return *n.extension;
  int x = 0, y = 0;
  Window hijo;
  XWindowAttributes a{};
  XGetWindowAttributes(d, ventana, &a);
  XTranslateCoordinates(d, ventana, DefaultRootWindow(d), 0, 0, &x, &y, &hijo);
  return {x, y, a.width, a.height};
}

int32_t cuantosHijos(const Nodo& n) {
  return n.cuantosHijos >= 0 ? n.cuantosHijos : int32_t(n.hijos.size());
}

std::vector<Ref> hijosDe(const Nodo& n) {
  if (modo == Modo::cienmil && n.cuantosHijos == CIEN_MIL) {
    std::vector<Ref> v;
    v.reserve(CIEN_MIL);
    for (int i = 0; i < CIEN_MIL; ++i) v.push_back(propia("/h/b" + std::to_string(i)));
    return v;
  }
  return n.hijos;
}

// Where the application is described to clients that ask for its cache: every element once,
// with its parent and index; the loops of `bucle` are in it as well.
void cache(DBusMessageIter& it) {
  DBusMessageIter a;
  dbus_message_iter_open_container(&it, DBUS_TYPE_ARRAY, "((so)(so)(so)iiassusau)", &a);
  std::vector<std::string> rutas = {RAIZ, MARCO};
  for (const auto& h : hijosDelMarco()) rutas.push_back(h);
  for (const auto& ruta : rutas) {
    auto n = nodo(ruta);
    DBusMessageIter s;
    dbus_message_iter_open_container(&a, DBUS_TYPE_STRUCT, nullptr, &s);
    referencia(s, propia(ruta), false);
    referencia(s, propia(RAIZ), false);
    referencia(s, n->padre.bus.empty() ? propia(RAIZ) : n->padre, false);
    int32_t indice = 0;
    if (auto p = nodo(n->padre.ruta))
      for (size_t i = 0; i < p->hijos.size(); ++i)
        if (p->hijos[i].ruta == ruta) indice = int32_t(i);
    basico(s, DBUS_TYPE_INT32, indice);
    basico(s, DBUS_TYPE_INT32, cuantosHijos(*n));
    cadenas(s, n->interfaces);
    cadena(s, n->nombre);
    basico(s, DBUS_TYPE_UINT32, n->rol);
    cadena(s, n->descripcion);
    naturales(s, n->estados);
    dbus_message_iter_close_container(&a, &s);
  }
  dbus_message_iter_close_container(&it, &a);
}

// The value of a property, in its variant; false when the object has no such property.
bool propiedad(DBusMessageIter& it, const Nodo& n, const std::string& nombre) {
  if (nombre == "Name")
    variante(it, "s", [&](DBusMessageIter& v) { cadena(v, n.nombre); });
  else if (nombre == "Description")
    variante(it, "s", [&](DBusMessageIter& v) { cadena(v, n.descripcion); });
  else if (nombre == "ChildCount")
    variante(it, "i", [&](DBusMessageIter& v) { basico(v, DBUS_TYPE_INT32, cuantosHijos(n)); });
  else if (nombre == "Parent")
    variante(it, modo == Modo::referencias ? "(ss)" : "(so)",
             [&](DBusMessageIter& v) { referencia(v, n.padre, modo == Modo::referencias); });
  else if (nombre == "NActions")
    variante(it, "i", [&](DBusMessageIter& v) {
      basico(v, DBUS_TYPE_INT32,
             n.cuantasAcciones >= 0 ? n.cuantasAcciones : int32_t(n.acciones.size()));
    });
  else if (nombre == "CurrentValue" && n.valor)
    variante(it, "d", [&](DBusMessageIter& v) { basico(v, DBUS_TYPE_DOUBLE, *n.valor); });
  else if (nombre == "ToolkitName")
    variante(it, "s",
             [&](DBusMessageIter& v) { cadena(v, modo == Modo::dormida ? "Chromium" : "hostil"); });
  else if (nombre == "Version" || nombre == "AtspiVersion")
    variante(it, "s", [&](DBusMessageIter& v) { cadena(v, "2.1"); });
  else if (nombre == "Locale")
    variante(it, "s", [&](DBusMessageIter& v) { cadena(v, "es"); });
  else
    return false;
  return true;
}

DBusMessage* error(DBusMessage* llamada, const char* nombre = DBUS_ERROR_FAILED) {
  return dbus_message_new_error(llamada, nombre, "no");
}

// The answer the mode gives to a call, or nothing when it gives none.
DBusMessage* respuesta(DBusMessage* llamada) {
  auto texto = [](const char* t) { return std::string(t ? t : ""); };
  const std::string interfaz = texto(dbus_message_get_interface(llamada));
  const std::string metodo = texto(dbus_message_get_member(llamada));
  const std::string ruta = texto(dbus_message_get_path(llamada));
  if (modo == Modo::errores) return error(llamada);
  DBusMessage* r = dbus_message_new_method_return(llamada);
  DBusMessageIter it;
  dbus_message_iter_init_append(r, &it);
  if (modo == Modo::firma) {
    // A number where text is asked for, text where numbers are, and so on.
    if (metodo == "GetRole" || metodo == "GetIndexInParent")
      cadena(it, "push button");
    else if (metodo == "GetChildren" || metodo == "GetMatches")
      cadenas(it, {yo, MARCO});
    else if (metodo == "GetState")
      basico(it, DBUS_TYPE_UINT32, uint32_t(0xffffffffu));
    else if (metodo == "GetInterfaces")
      naturales(it, {1, 2, 3});
    else if (metodo == "GetExtents") {
      DBusMessageIter s;
      dbus_message_iter_open_container(&it, DBUS_TYPE_STRUCT, nullptr, &s);
      for (int i = 0; i < 4; ++i) basico(s, DBUS_TYPE_DOUBLE, 10.0);
      dbus_message_iter_close_container(&it, &s);
    } else if (metodo == "GetAccessibleAtPoint" || metodo == "GetChildAtIndex")
      cadena(it, MARCO);
    else if (metodo == "Get")
      variante(it, "(ii)", [](DBusMessageIter& v) {
        DBusMessageIter s;
        dbus_message_iter_open_container(&v, DBUS_TYPE_STRUCT, nullptr, &s);
        basico(s, DBUS_TYPE_INT32, 1);
        basico(s, DBUS_TYPE_INT32, 2);
        dbus_message_iter_close_container(&v, &s);
      });
    else if (metodo == "GetItems")
      referencias(it, {propia(RAIZ)}, false);
    else
      basico(it, DBUS_TYPE_INT32, -1);
    return r;
  }
  auto n = nodo(ruta == "/org/a11y/atspi/cache" ? RAIZ : ruta);
  if (!n) {
    dbus_message_unref(r);
    return error(llamada, DBUS_ERROR_UNKNOWN_OBJECT);
  }
  const bool sinNombre = modo == Modo::referencias;
  if (interfaz == DBUS_INTERFACE_PROPERTIES && metodo == "Get") {
    const char *i = nullptr, *p = nullptr;
    if (!dbus_message_get_args(llamada, nullptr, DBUS_TYPE_STRING, &i, DBUS_TYPE_STRING, &p,
                               DBUS_TYPE_INVALID) ||
        !propiedad(it, *n, p)) {
      dbus_message_unref(r);
      return error(llamada, DBUS_ERROR_UNKNOWN_PROPERTY);
    }
  } else if (interfaz == DBUS_INTERFACE_PROPERTIES && metodo == "Set") {
  } else if (metodo == "GetItems" && modo == Modo::bucle) {
    cache(it);
  } else if (metodo == "GetChildren") {
    if (sinNombre && ruta == MARCO) {
      referencias(it, malas(), true);
    } else {
      referencias(it, hijosDe(*n), false);
    }
  } else if (metodo == "GetChildAtIndex") {
    int32_t i = 0;
    dbus_message_get_args(llamada, nullptr, DBUS_TYPE_INT32, &i, DBUS_TYPE_INVALID);
    const auto hijos = hijosDe(*n);
    referencia(it, i >= 0 && size_t(i) < hijos.size() ? hijos[i] : Ref{yo, "/h/nada"}, false);
  } else if (metodo == "GetRole") {
    basico(it, DBUS_TYPE_UINT32, n->rol);
  } else if (metodo == "GetRoleName" || metodo == "GetLocalizedRoleName") {
    cadena(it, "rol");
  } else if (metodo == "GetState") {
    naturales(it, n->estados);
  } else if (metodo == "GetInterfaces") {
    cadenas(it, n->interfaces);
  } else if (metodo == "GetIndexInParent") {
    basico(it, DBUS_TYPE_INT32, 0);
  } else if (metodo == "GetAttributes") {
    DBusMessageIter a, e;
    dbus_message_iter_open_container(&it, DBUS_TYPE_ARRAY, "{ss}", &a);
    dbus_message_iter_open_container(&a, DBUS_TYPE_DICT_ENTRY, nullptr, &e);
    cadena(e, "placeholder-text");
    cadena(e, modo == Modo::megas ? mega() : n->nombre);
    dbus_message_iter_close_container(&a, &e);
    dbus_message_iter_close_container(&it, &a);
  } else if (metodo == "GetExtents") {
    DBusMessageIter s;
    dbus_message_iter_open_container(&it, DBUS_TYPE_STRUCT, nullptr, &s);
    for (int32_t v : extensionDe(*n)) basico(s, DBUS_TYPE_INT32, v);
    dbus_message_iter_close_container(&it, &s);
  } else if (metodo == "GetAccessibleAtPoint") {
    if (sinNombre) {
      referencia(it, {"", "no es ruta"}, true);
    } else {
      referencia(it, n->enPunto.value_or(Ref{yo, "/org/a11y/atspi/null"}), false);
    }
  } else if (metodo == "GetMatches") {
    if (sinNombre) {
      referencias(it, malas(), true);
    } else {
      dbus_message_unref(r);
      return error(llamada, DBUS_ERROR_UNKNOWN_METHOD);
    }
  } else if (metodo == "GetName") {
    int32_t i = 0;
    dbus_message_get_args(llamada, nullptr, DBUS_TYPE_INT32, &i, DBUS_TYPE_INVALID);
    cadena(it, i >= 0 && size_t(i) < n->acciones.size() ? n->acciones[i] : "otra");
  } else if (metodo == "GetActions") {
    DBusMessageIter a, s;
    dbus_message_iter_open_container(&it, DBUS_TYPE_ARRAY, "(sss)", &a);
    for (const auto& nombre : n->acciones) {
      dbus_message_iter_open_container(&a, DBUS_TYPE_STRUCT, nullptr, &s);
      for (int i = 0; i < 3; ++i) cadena(s, nombre);
      dbus_message_iter_close_container(&a, &s);
    }
    dbus_message_iter_close_container(&it, &a);
  } else if (metodo == "DoAction") {
    basico(it, DBUS_TYPE_BOOLEAN, dbus_bool_t(true));
  } else if (metodo == "GetText" && n->texto) {
    cadena(it, *n->texto);
  } else if (metodo == "GetApplicationBusAddress") {
    cadena(it, "");
  } else {
    dbus_message_unref(r);
    return error(llamada, DBUS_ERROR_UNKNOWN_METHOD);
  }
  return r;
}

DBusHandlerResult alLlegar(DBusConnection* c, DBusMessage* m, void*) {
  if (dbus_message_get_type(m) != DBUS_MESSAGE_TYPE_METHOD_CALL)
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  // Silent from the moment it is registered.
  if (modo == Modo::mudo && registrada) return DBUS_HANDLER_RESULT_HANDLED;
  if (DBusMessage* r = modo == Modo::mudo ? dbus_message_new_method_return(m) : respuesta(m)) {
    dbus_connection_send(c, r, nullptr);
    dbus_message_unref(r);
  }
  return DBUS_HANDLER_RESULT_HANDLED;
}

std::optional<Modo> modoDe(const std::string& s) {
  const std::pair<const char*, Modo> modos[] = {
      {"bucle", Modo::bucle},     {"cienmil", Modo::cienmil},         {"megas", Modo::megas},
      {"utf8", Modo::utf8},       {"extremos", Modo::extremos},       {"firma", Modo::firma},
      {"errores", Modo::errores}, {"referencias", Modo::referencias}, {"mudo", Modo::mudo},
      {"dormida", Modo::dormida}};
  for (auto [nombre, m] : modos)
    if (s == nombre) return m;
  return std::nullopt;
}

// The accessibility bus, as the session's launcher gives its address.
DBusConnection* busDeAccesibilidad() {
  DBusError e;
  dbus_error_init(&e);
  DBusConnection* sesion = dbus_bus_get_private(DBUS_BUS_SESSION, &e);
  if (!sesion) return nullptr;
  DBusMessage* m =
      dbus_message_new_method_call("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress");
  DBusMessage* r = dbus_connection_send_with_reply_and_block(sesion, m, 5000, &e);
  dbus_message_unref(m);
  const char* direccion = nullptr;
  DBusConnection* c = nullptr;
  if (r && dbus_message_get_args(r, &e, DBUS_TYPE_STRING, &direccion, DBUS_TYPE_INVALID))
    c = dbus_connection_open_private(direccion, &e);
  if (c && !dbus_bus_register(c, &e)) {
    dbus_connection_close(c);
    dbus_connection_unref(c);
    c = nullptr;
  }
  if (r) dbus_message_unref(r);
  dbus_error_free(&e);
  dbus_connection_close(sesion);
  dbus_connection_unref(sesion);
  return c;
}

void mapearVentana() {
  ventana = XCreateSimpleWindow(d, DefaultRootWindow(d), 100, 100, 400, 300, 0, 0, 0xffffff);
  const long pid = getpid();
  XChangeProperty(d, ventana, XInternAtom(d, "_NET_WM_PID", False), XA_CARDINAL, 32,
                  PropModeReplace, reinterpret_cast<const unsigned char*>(&pid), 1);
  XStoreName(d, ventana, "App hostil");
  XClassHint clase{const_cast<char*>("app-hostil"), const_cast<char*>("AppHostil")};
  XSetClassHint(d, ventana, &clase);
  XMapWindow(d, ventana);
  XSync(d, False);
}

}  // namespace

int main(int argc, char** argv) {
  // libdbus would otherwise end the process on its own checks (text that is not UTF-8).
  setenv("DBUS_FATAL_WARNINGS", "0", 1);
  auto m = argc == 2 ? modoDe(argv[1]) : std::nullopt;
  d = XOpenDisplay(nullptr);
  if (!m || !d) return 1;
  modo = *m;
  if (modo == Modo::utf8) {
    // Whether libdbus lets bytes that are not UTF-8 through at all.
    DBusMessage* prueba = dbus_message_new_signal("/h", "h.h", "h");
    const char* mal = "mal \xff\xfe \xc3";
    DBusMessageIter it;
    dbus_message_iter_init_append(prueba, &it);
    if (!dbus_message_iter_append_basic(&it, DBUS_TYPE_STRING, &mal))
      std::printf("utf8 rechazado\n");
    dbus_message_unref(prueba);
  }
  DBusConnection* c = busDeAccesibilidad();
  if (!c) return 1;
  yo = dbus_bus_get_unique_name(c);
  dbus_connection_add_filter(c, alLlegar, nullptr, nullptr);
  mapearVentana();

  DBusMessage* embed = dbus_message_new_method_call("org.a11y.atspi.Registry", RAIZ,
                                                    "org.a11y.atspi.Socket", "Embed");
  DBusMessageIter it;
  dbus_message_iter_init_append(embed, &it);
  referencia(it, propia(RAIZ), false);
  DBusPendingCall* p = nullptr;
  dbus_connection_send_with_reply(c, embed, &p, 10000);
  dbus_message_unref(embed);
  // The registry asks things of the application while it registers it: they are answered.
  while (p && !dbus_pending_call_get_completed(p) && dbus_connection_read_write_dispatch(c, 100)) {
  }
  if (!p) return 1;
  dbus_pending_call_unref(p);
  registrada = true;
  std::printf("listo\n");
  std::fflush(stdout);
  while (dbus_connection_read_write_dispatch(c, -1)) {
  }
  return 0;
}
