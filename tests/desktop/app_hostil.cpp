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
#include <cfloat>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

namespace {

const std::set<std::string> MODOS = {"bucle", "cienmil", "megas",       "utf8", "extremos",
                                     "firma", "errores", "referencias", "mudo", "dormida"};
std::string modo;
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
  n.padre = propia(MARCO);
  return n;
}

// The names that `utf8` gives its buttons, by path.
const std::map<std::string, std::string> NOMBRES_UTF8 = {
    {"/h/control", std::string("ctl \x01\x02\x1b[31m\x7f\t\n\r fin", 20)},
    {"/h/nocaracter", "no \xef\xbf\xbe \xef\xbf\xbf \xf4\x8f\xbf\xbf fin"},
    {"/h/marca", "\xcc\x81 marca"},
    {"/h/bidi", "\xe2\x80\xae bidi \xe2\x80\xa8 fin"}};

// The sliders of `extremos` by path: extents in screen pixels and value.
struct Extremo {
  std::array<int32_t, 4> extension;
  double valor;
};
const std::map<std::string, Extremo> EXTREMOS = {
    {"/h/minimo", {{INT32_MIN, INT32_MIN, INT32_MAX, INT32_MAX}, -DBL_MAX}},
    {"/h/maximo", {{INT32_MAX, INT32_MAX, INT32_MAX, INT32_MAX}, DBL_MAX}},
    {"/h/nan", {{INT32_MIN + 1, 0, INT32_MAX, INT32_MAX}, NAN}},
    {"/h/infinito", {{0, INT32_MIN + 1, 1, INT32_MAX}, INFINITY}},
    {"/h/negativo", {{-100, -100, INT32_MIN, INT32_MIN}, -INFINITY}}};

// The frame's children in each mode, by path under /h/.
std::vector<std::string> hijosDelMarco() {
  std::vector<std::string> v;
  if (modo == "bucle") v = {"/h/vuelta", "/h/espejo", "/h/rombo1", "/h/rombo2", "/h/bien"};
  if (modo == "referencias") v = {"/h/bien"};
  if (modo == "megas") {
    for (int i = 0; i < ETIQUETAS_GRANDES; ++i) v.push_back("/h/grande" + std::to_string(i));
    for (int i = 0; i < ACCIONES_SIN_FIN; ++i) v.push_back("/h/acciones" + std::to_string(i));
  }
  if (modo == "utf8") v = {"/h/control", "/h/nocaracter", "/h/marca", "/h/bidi"};
  if (modo == "extremos")
    v = {"/h/minimo", "/h/maximo", "/h/nan", "/h/infinito", "/h/negativo", "/h/mentira"};
  return v;
}

std::optional<Nodo> nodo(const std::string& ruta) {
  if (ruta == RAIZ) {
    Nodo n;
    n.rol = ATSPI_ROLE_APPLICATION;
    n.nombre = modo == "megas" ? "App hostil " + mega() : "App hostil";
    n.hijos = {propia(MARCO)};
    n.padre = {"org.a11y.atspi.Registry", RAIZ};
    n.interfaces = {"org.a11y.atspi.Accessible", "org.a11y.atspi.Application"};
    return n;
  }
  if (ruta == MARCO) {
    Nodo n;
    n.rol = ATSPI_ROLE_FRAME;
    n.nombre = modo == "megas" ? mega() : "Ventana hostil";
    n.padre = propia(RAIZ);
    n.estados = estados({ATSPI_STATE_ACTIVE, ATSPI_STATE_ENABLED, ATSPI_STATE_SENSITIVE,
                         ATSPI_STATE_SHOWING, ATSPI_STATE_VISIBLE});
    if (modo == "cienmil") {
      n.cuantosHijos = CIEN_MIL;
    } else if (modo == "dormida") {
      n.hijos = {Ref{yo, "/org/a11y/atspi/null"}};
    } else {
      for (const auto& h : hijosDelMarco()) n.hijos.push_back(propia(h));
    }
    if (!n.hijos.empty()) n.enPunto = n.hijos.front();
    if (modo == "extremos") n.enPunto = propia("/h/minimo");
    return n;
  }
  if (ruta.rfind("/h/", 0) != 0) return std::nullopt;
  const std::string h = ruta.substr(3);
  Nodo n;
  n.padre = propia(MARCO);
  n.estados = visible();
  if (modo == "bucle" && (h == "vuelta" || h == "bien")) {
    n = boton(h == "bien" ? "Bien" : "Vuelta");
    if (h == "vuelta") {
      n.hijos = {propia(RAIZ)};
      n.enPunto = propia(RAIZ);
    }
  } else if (modo == "bucle" && h == "espejo") {
    n.nombre = "Espejo";
    n.padre = propia(ruta);
    n.hijos = {propia(ruta)};
    n.enPunto = propia(ruta);
  } else if (modo == "bucle" && (h == "rombo1" || h == "rombo2")) {
    n.hijos = {propia(MARCO)};
  } else if (modo == "cienmil" && h.rfind("b", 0) == 0) {
    n = boton("Botón " + h.substr(1));
  } else if (modo == "megas" && h.rfind("grande", 0) == 0) {
    n.rol = ATSPI_ROLE_LABEL;
    n.nombre = n.descripcion = mega();
    n.texto = mega();
    n.interfaces.push_back("org.a11y.atspi.Text");
  } else if (modo == "megas" && h.rfind("acciones", 0) == 0) {
    n = boton("Acciones " + h.substr(8));
    n.cuantasAcciones = INT32_MAX;
  } else if (modo == "utf8") {
    n = boton(NOMBRES_UTF8.contains(ruta) ? NOMBRES_UTF8.at(ruta) : "");
    n.descripcion = n.nombre;
  } else if (modo == "extremos" && (EXTREMOS.contains(ruta) || h == "mentira")) {
    n.rol = ATSPI_ROLE_SLIDER;
    n.nombre = "Extremo " + h;
    n.interfaces.push_back("org.a11y.atspi.Value");
    if (EXTREMOS.contains(ruta)) {
      n.extension = EXTREMOS.at(ruta).extension;
      n.valor = EXTREMOS.at(ruta).valor;
    } else {
      // Claims children it does not have, and states past any the protocol knows.
      n.cuantosHijos = INT32_MAX;
      n.estados = std::vector<uint32_t>(10000, 0xffffffffu);
      n.extension = {{0, 0, 0, 0}};
    }
    if (h == "minimo") n.enPunto = propia("/h/maximo");
  } else if (modo == "referencias" && h == "bien") {
    n = boton("Bien");
    n.padre = {"", "no es ruta"};
  } else {
    return std::nullopt;
  }
  return n;
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

// A container (a struct, an array or a variant of `firma`) holding what `dentro` puts in it.
void contenedor(DBusMessageIter& it, int tipo, const char* firma,
                const std::function<void(DBusMessageIter&)>& dentro) {
  DBusMessageIter c;
  dbus_message_iter_open_container(&it, tipo, firma, &c);
  dentro(c);
  dbus_message_iter_close_container(&it, &c);
}

template <typename T>
void basico(DBusMessageIter& it, int tipo, T v) {
  dbus_message_iter_append_basic(&it, tipo, &v);
}

void cadena(DBusMessageIter& it, const std::string& s) {
  // libdbus refuses text that is not UTF-8 (or a NUL inside): an empty one goes instead.
  const char* c = s.c_str();
  if (!dbus_message_iter_append_basic(&it, DBUS_TYPE_STRING, &c)) basico(it, DBUS_TYPE_STRING, "");
}

// A reference as (so) when it can be one; bad ones as (ss), the only way to send them.
void referencia(DBusMessageIter& it, const Ref& r, bool comoTextos) {
  contenedor(it, DBUS_TYPE_STRUCT, nullptr, [&](DBusMessageIter& s) {
    cadena(s, r.bus);
    basico(s, comoTextos ? DBUS_TYPE_STRING : DBUS_TYPE_OBJECT_PATH, r.ruta.c_str());
  });
}

void referencias(DBusMessageIter& it, const std::vector<Ref>& lista, bool comoTextos) {
  contenedor(it, DBUS_TYPE_ARRAY, comoTextos ? "(ss)" : "(so)", [&](DBusMessageIter& a) {
    for (const auto& r : lista) referencia(a, r, comoTextos);
  });
}

void naturales(DBusMessageIter& it, const std::vector<uint32_t>& v) {
  contenedor(it, DBUS_TYPE_ARRAY, "u", [&](DBusMessageIter& a) {
    for (uint32_t n : v) basico(a, DBUS_TYPE_UINT32, n);
  });
}

void cadenas(DBusMessageIter& it, const std::vector<std::string>& v) {
  contenedor(it, DBUS_TYPE_ARRAY, "s", [&](DBusMessageIter& a) {
    for (const auto& s : v) cadena(a, s);
  });
}

void variante(DBusMessageIter& it, const char* firma,
              const std::function<void(DBusMessageIter&)>& dentro) {
  contenedor(it, DBUS_TYPE_VARIANT, firma, dentro);
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
  if (modo == "cienmil" && n.cuantosHijos == CIEN_MIL) {
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
  std::vector<std::string> rutas = {RAIZ, MARCO};
  for (const auto& h : hijosDelMarco()) rutas.push_back(h);
  contenedor(it, DBUS_TYPE_ARRAY, "((so)(so)(so)iiassusau)", [&](DBusMessageIter& a) {
    for (const auto& ruta : rutas)
      contenedor(a, DBUS_TYPE_STRUCT, nullptr, [&](DBusMessageIter& s) {
        auto n = nodo(ruta);
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
      });
  });
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
    variante(it, modo == "referencias" ? "(ss)" : "(so)",
             [&](DBusMessageIter& v) { referencia(v, n.padre, modo == "referencias"); });
  else if (nombre == "NActions")
    variante(it, "i", [&](DBusMessageIter& v) {
      basico(v, DBUS_TYPE_INT32,
             n.cuantasAcciones >= 0 ? n.cuantasAcciones : int32_t(n.acciones.size()));
    });
  else if (nombre == "CurrentValue" && n.valor)
    variante(it, "d", [&](DBusMessageIter& v) { basico(v, DBUS_TYPE_DOUBLE, *n.valor); });
  else if (nombre == "ToolkitName")
    variante(it, "s",
             [&](DBusMessageIter& v) { cadena(v, modo == "dormida" ? "Chromium" : "hostil"); });
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

// `firma`: a number where text is asked for, text where numbers are, and so on.
void conOtraFirma(DBusMessageIter& it, const std::string& metodo) {
  auto estructura = [&](DBusMessageIter& s) {
    for (int i = 0; i < 4; ++i) basico(s, DBUS_TYPE_DOUBLE, 10.0);
  };
  auto par = [](DBusMessageIter& v) {
    contenedor(v, DBUS_TYPE_STRUCT, nullptr, [](DBusMessageIter& s) {
      basico(s, DBUS_TYPE_INT32, 1);
      basico(s, DBUS_TYPE_INT32, 2);
    });
  };
  if (metodo == "GetRole" || metodo == "GetIndexInParent")
    cadena(it, "push button");
  else if (metodo == "GetChildren" || metodo == "GetMatches")
    cadenas(it, {yo, MARCO});
  else if (metodo == "GetState")
    basico(it, DBUS_TYPE_UINT32, uint32_t(0xffffffffu));
  else if (metodo == "GetInterfaces")
    naturales(it, {1, 2, 3});
  else if (metodo == "GetExtents")
    contenedor(it, DBUS_TYPE_STRUCT, nullptr, estructura);
  else if (metodo == "GetAccessibleAtPoint" || metodo == "GetChildAtIndex")
    cadena(it, MARCO);
  else if (metodo == "Get")
    variante(it, "(ii)", par);
  else if (metodo == "GetItems")
    referencias(it, {propia(RAIZ)}, false);
  else
    basico(it, DBUS_TYPE_INT32, -1);
}

// What a method of the element answers; false when it has no such method.
bool metodoDe(DBusMessageIter& it, const Nodo& n, const std::string& ruta,
              const std::string& metodo, DBusMessage* llamada) {
  const bool sinNombre = modo == "referencias";
  int32_t i = 0;
  dbus_message_get_args(llamada, nullptr, DBUS_TYPE_INT32, &i, DBUS_TYPE_INVALID);
  if (metodo == "GetItems" && modo == "bucle")
    cache(it);
  else if (metodo == "GetChildren" && sinNombre && ruta == MARCO)
    referencias(it, malas(), true);
  else if (metodo == "GetChildren")
    referencias(it, hijosDe(n), false);
  else if (metodo == "GetChildAtIndex") {
    const auto hijos = hijosDe(n);
    referencia(it, i >= 0 && size_t(i) < hijos.size() ? hijos[i] : Ref{yo, "/h/nada"}, false);
  } else if (metodo == "GetRole")
    basico(it, DBUS_TYPE_UINT32, n.rol);
  else if (metodo == "GetRoleName" || metodo == "GetLocalizedRoleName")
    cadena(it, "rol");
  else if (metodo == "GetState")
    naturales(it, n.estados);
  else if (metodo == "GetInterfaces")
    cadenas(it, n.interfaces);
  else if (metodo == "GetIndexInParent")
    basico(it, DBUS_TYPE_INT32, 0);
  else if (metodo == "GetAttributes")
    contenedor(it, DBUS_TYPE_ARRAY, "{ss}", [&](DBusMessageIter& a) {
      contenedor(a, DBUS_TYPE_DICT_ENTRY, nullptr, [&](DBusMessageIter& e) {
        cadena(e, "placeholder-text");
        cadena(e, modo == "megas" ? mega() : n.nombre);
      });
    });
  else if (metodo == "GetExtents")
    contenedor(it, DBUS_TYPE_STRUCT, nullptr, [&](DBusMessageIter& s) {
      for (int32_t v : extensionDe(n)) basico(s, DBUS_TYPE_INT32, v);
    });
  else if (metodo == "GetAccessibleAtPoint" && sinNombre)
    referencia(it, {"", "no es ruta"}, true);
  else if (metodo == "GetAccessibleAtPoint")
    referencia(it, n.enPunto.value_or(Ref{yo, "/org/a11y/atspi/null"}), false);
  else if (metodo == "GetMatches" && sinNombre)
    referencias(it, malas(), true);
  else if (metodo == "GetName")
    cadena(it, i >= 0 && size_t(i) < n.acciones.size() ? n.acciones[i] : "otra");
  else if (metodo == "GetActions")
    contenedor(it, DBUS_TYPE_ARRAY, "(sss)", [&](DBusMessageIter& a) {
      for (const auto& nombre : n.acciones)
        contenedor(a, DBUS_TYPE_STRUCT, nullptr, [&](DBusMessageIter& s) {
          for (int k = 0; k < 3; ++k) cadena(s, nombre);
        });
    });
  else if (metodo == "DoAction")
    basico(it, DBUS_TYPE_BOOLEAN, dbus_bool_t(true));
  else if (metodo == "GetText" && n.texto)
    cadena(it, *n.texto);
  else if (metodo == "GetApplicationBusAddress")
    cadena(it, "");
  else
    return false;
  return true;
}

// The answer the mode gives to a call, or nothing when it gives none.
DBusMessage* respuesta(DBusMessage* llamada) {
  auto texto = [](const char* t) { return std::string(t ? t : ""); };
  const std::string interfaz = texto(dbus_message_get_interface(llamada));
  const std::string metodo = texto(dbus_message_get_member(llamada));
  const std::string ruta = texto(dbus_message_get_path(llamada));
  if (modo == "errores") return error(llamada);
  DBusMessage* r = dbus_message_new_method_return(llamada);
  DBusMessageIter it;
  dbus_message_iter_init_append(r, &it);
  if (modo == "firma") {
    conOtraFirma(it, metodo);
    return r;
  }
  const char* fallo = nullptr;
  auto n = nodo(ruta == "/org/a11y/atspi/cache" ? RAIZ : ruta);
  const char *i = nullptr, *p = nullptr;
  if (!n)
    fallo = DBUS_ERROR_UNKNOWN_OBJECT;
  else if (interfaz == DBUS_INTERFACE_PROPERTIES && metodo == "Get")
    fallo = dbus_message_get_args(llamada, nullptr, DBUS_TYPE_STRING, &i, DBUS_TYPE_STRING, &p,
                                  DBUS_TYPE_INVALID) &&
                    propiedad(it, *n, p)
                ? nullptr
                : DBUS_ERROR_UNKNOWN_PROPERTY;
  else if (!(interfaz == DBUS_INTERFACE_PROPERTIES && metodo == "Set") &&
           !metodoDe(it, *n, ruta, metodo, llamada))
    fallo = DBUS_ERROR_UNKNOWN_METHOD;
  if (!fallo) return r;
  dbus_message_unref(r);
  return error(llamada, fallo);
}

DBusHandlerResult alLlegar(DBusConnection* c, DBusMessage* m, void*) {
  if (dbus_message_get_type(m) != DBUS_MESSAGE_TYPE_METHOD_CALL)
    return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
  // Silent from the moment it is registered.
  if (modo == "mudo" && registrada) return DBUS_HANDLER_RESULT_HANDLED;
  if (DBusMessage* r = modo == "mudo" ? dbus_message_new_method_return(m) : respuesta(m)) {
    dbus_connection_send(c, r, nullptr);
    dbus_message_unref(r);
  }
  return DBUS_HANDLER_RESULT_HANDLED;
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
  modo = argc == 2 ? argv[1] : "";
  d = XOpenDisplay(nullptr);
  if (!MODOS.contains(modo) || !d) return 1;
  if (modo == "utf8") {
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
