#include "desktop/x11/ventanas_x11.h"

#include <X11/Xatom.h>
#include <X11/Xutil.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <iterator>
#include <unordered_set>

#include "common/archivos.h"
#include "common/texto.h"

namespace tildo {
namespace {

enum Nombre {
  CLIENTES_APILADOS,
  CLIENTES,
  ACTIVA,
  ESTADO,
  OCULTA,
  TIPO,
  TIPO_NORMAL,
  TIPO_DIALOGO,
  TIPO_UTILIDAD,
  TIPO_BARRA,
  TIPO_MENU,
  TIPO_BIENVENIDA,
  TIPO_DOCK,
  TIPO_ESCRITORIO,
  TIPO_AVISO,
  TIPO_MENU_DESPLEGABLE,
  TIPO_MENU_EMERGENTE,
  TIPO_PISTA,
  TIPO_COMBO,
  PID,
  NOMBRE,
  UTF8,
  TEXTO_COMPUESTO,
  EXTENSIONES,
  SOMBRAS,
  MOVER_REDIMENSIONAR,
  SOPORTADOS,
  ACCIONES_PERMITIDAS,
  ACCION_MINIMIZAR,
  AREA_DE_TRABAJO,
  ESCRITORIO_ACTUAL,
  TOTAL_NOMBRES
};

const char* NOMBRES_ATOMOS[TOTAL_NOMBRES] = {
    "_NET_CLIENT_LIST_STACKING",
    "_NET_CLIENT_LIST",
    "_NET_ACTIVE_WINDOW",
    "_NET_WM_STATE",
    "_NET_WM_STATE_HIDDEN",
    "_NET_WM_WINDOW_TYPE",
    "_NET_WM_WINDOW_TYPE_NORMAL",
    "_NET_WM_WINDOW_TYPE_DIALOG",
    "_NET_WM_WINDOW_TYPE_UTILITY",
    "_NET_WM_WINDOW_TYPE_TOOLBAR",
    "_NET_WM_WINDOW_TYPE_MENU",
    "_NET_WM_WINDOW_TYPE_SPLASH",
    "_NET_WM_WINDOW_TYPE_DOCK",
    "_NET_WM_WINDOW_TYPE_DESKTOP",
    "_NET_WM_WINDOW_TYPE_NOTIFICATION",
    "_NET_WM_WINDOW_TYPE_DROPDOWN_MENU",
    "_NET_WM_WINDOW_TYPE_POPUP_MENU",
    "_NET_WM_WINDOW_TYPE_TOOLTIP",
    "_NET_WM_WINDOW_TYPE_COMBO",
    "_NET_WM_PID",
    "_NET_WM_NAME",
    "UTF8_STRING",
    "COMPOUND_TEXT",
    "_NET_FRAME_EXTENTS",
    "_GTK_FRAME_EXTENTS",
    "_NET_MOVERESIZE_WINDOW",
    "_NET_SUPPORTED",
    "_NET_WM_ALLOWED_ACTIONS",
    "_NET_WM_ACTION_MINIMIZE",
    "_NET_WORKAREA",
    "_NET_CURRENT_DESKTOP",
};

// Interned once per process: one round trip for all of them.
const Atom* atomos(Display* d) {
  static Atom tabla[TOTAL_NOMBRES];
  static Display* de = nullptr;
  if (de != d) {
    XInternAtoms(d, const_cast<char**>(NOMBRES_ATOMOS), TOTAL_NOMBRES, False, tabla);
    de = d;
  }
  return tabla;
}

// Titles are read up to this many bytes: enough for any a person reads, and a client's
// megabyte of title does not travel into every reply.
constexpr long LARGO_TITULO = 64 * 1024;

// X carries a window's position in signed 16 bits and its size in unsigned 16 bits, and a size
// of 0 is refused: a frame beyond that is pinned to the edge of what X carries rather than
// wrapped round (40000 would land at -25536).
int posicionX(double v) {
  if (std::isnan(v)) return 0;
  return static_cast<int>(std::clamp(std::round(v), -32768.0, 32767.0));
}
unsigned medidaX(double v) {
  if (std::isnan(v)) return 1;
  return static_cast<unsigned>(std::clamp(std::round(v), 1.0, 65535.0));
}

}  // namespace

ServidorVentanas::ServidorVentanas(ConexionX11& conexion)
    : conexion_(conexion), d_(conexion.pantalla()), raiz_(DefaultRootWindow(d_)) {
  atomos(d_);
}

std::optional<std::vector<uint32_t>> ServidorVentanas::lista(Window w, Atom nombre, Atom tipo,
                                                             long largo) {
  Atom real = None;
  int formato = 0;
  unsigned long n = 0, resto = 0;
  unsigned char* datos = nullptr;
  if (XGetWindowProperty(d_, w, nombre, 0, largo, False, tipo, &real, &formato, &n, &resto,
                         &datos) != Success)
    return std::nullopt;
  std::optional<std::vector<uint32_t>> valores;
  // A property of another type or item size than the one asked for is as good as absent.
  if (datos && real == tipo && formato == 32) {
    // 32-bit items arrive as longs, sign-extended; the protocol's are unsigned.
    auto items = reinterpret_cast<unsigned long*>(datos);
    valores.emplace();
    for (unsigned long i = 0; i < n; ++i) valores->push_back(static_cast<uint32_t>(items[i]));
  }
  if (datos) XFree(datos);
  return valores;
}

std::vector<uint32_t> ServidorVentanas::propiedad(Window w, Atom nombre, Atom tipo, long largo) {
  return lista(w, nombre, tipo, largo).value_or(std::vector<uint32_t>{});
}

std::optional<std::string> ServidorVentanas::cadena(Window w, Atom nombre, Atom tipo) {
  Atom real = None;
  int formato = 0;
  unsigned long n = 0, resto = 0;
  unsigned char* datos = nullptr;
  if (XGetWindowProperty(d_, w, nombre, 0, LARGO_TITULO / 4, False, tipo, &real, &formato, &n,
                         &resto, &datos) != Success)
    return std::nullopt;
  std::optional<std::string> leido;
  if (datos && real != None && (tipo == AnyPropertyType || real == tipo) && formato == 8)
    leido = texto(real, {reinterpret_cast<const char*>(datos), n}, resto > 0);
  if (datos) XFree(datos);
  return leido;
}

std::optional<std::string> ServidorVentanas::texto(Atom tipo, std::string_view bytes,
                                                   bool cortado) {
  const Atom* a = atomos(d_);
  // The ICCCM's STRING is Latin-1, whatever the locale of the client that wrote it.
  if (tipo == XA_STRING) return utf8DeLatin1(bytes);
  if (tipo == a[UTF8]) return utf8Reparado(bytes, cortado);
  if (tipo != a[TEXTO_COMPUESTO]) return std::nullopt;
  // Older clients write other character sets as ISO 2022 escapes, which Xlib decodes.
  XTextProperty prop{reinterpret_cast<unsigned char*>(const_cast<char*>(bytes.data())), tipo, 8,
                     bytes.size()};
  char** lista = nullptr;
  int cuantas = 0;
  std::optional<std::string> leido;
  if (Xutf8TextPropertyToTextList(d_, &prop, &lista, &cuantas) >= Success && lista) {
    if (cuantas > 0 && lista[0]) leido = utf8Reparado(lista[0], cortado);
    XFreeStringList(lista);
  }
  return leido;
}

std::vector<Atom> ServidorVentanas::estado(Window w) {
  auto v = propiedad(w, atomos(d_)[ESTADO], XA_ATOM);
  return {v.begin(), v.end()};
}

bool ServidorVentanas::soporta(Atom mensaje) {
  if (!soportados_) {
    auto v = propiedad(raiz_, atomos(d_)[SOPORTADOS], XA_ATOM, 4096);
    soportados_.emplace(v.begin(), v.end());
  }
  return std::find(soportados_->begin(), soportados_->end(), mensaje) != soportados_->end();
}

void ServidorVentanas::mensaje(Window w, Atom tipo, long a, long b, long c, long d, long e) {
  XEvent ev{};
  ev.xclient.type = ClientMessage;
  ev.xclient.window = w;
  ev.xclient.message_type = tipo;
  ev.xclient.format = 32;
  ev.xclient.data.l[0] = a;
  ev.xclient.data.l[1] = b;
  ev.xclient.data.l[2] = c;
  ev.xclient.data.l[3] = d;
  ev.xclient.data.l[4] = e;
  XSendEvent(d_, raiz_, False, SubstructureRedirectMask | SubstructureNotifyMask, &ev);
  XSync(d_, False);
}

std::optional<std::vector<Window>> ServidorVentanas::clientes() {
  const Atom* a = atomos(d_);
  // The stacking list runs bottom to top; the plain list, in mapping order, stands in for it.
  for (Atom nombre : {a[CLIENTES_APILADOS], a[CLIENTES]}) {
    const auto ids = lista(raiz_, nombre, XA_WINDOW, 1 << 16);
    if (!ids) continue;
    // Front first, each window once however often a careless manager names it.
    std::vector<Window> ventanas;
    std::unordered_set<Window> vistas;
    for (auto it = ids->rbegin(); it != ids->rend(); ++it)
      if (*it && vistas.insert(*it).second) ventanas.push_back(*it);
    return ventanas;
  }
  // No manager keeps a list: the top-level windows themselves (the server lists them bottom
  // to top), less the menus and tooltips that place themselves.
  Window raiz = 0, padre = 0;
  Window* hijos = nullptr;
  unsigned cuantos = 0;
  if (!XQueryTree(d_, raiz_, &raiz, &padre, &hijos, &cuantos)) return std::nullopt;
  std::vector<Window> ventanas;
  for (unsigned i = cuantos; i-- > 0;) {
    XWindowAttributes atr;
    if (XGetWindowAttributes(d_, hijos[i], &atr) && !atr.override_redirect &&
        atr.c_class == InputOutput)
      ventanas.push_back(hijos[i]);
  }
  if (hijos) XFree(hijos);
  return ventanas;
}

bool ServidorVentanas::oculta(Window w) {
  const auto e = estado(w);
  return std::find(e.begin(), e.end(), atomos(d_)[OCULTA]) != e.end();
}

bool ServidorVentanas::enPantalla(Window w) {
  XWindowAttributes atr;
  if (!XGetWindowAttributes(d_, w, &atr) || atr.map_state != IsViewable) return false;
  return !oculta(w);
}

std::optional<int64_t> ServidorVentanas::capaDe(Window w) {
  const Atom* a = atomos(d_);
  // The first type the manager knows is the one that counts; untyped windows are normal.
  for (unsigned long t : propiedad(w, a[TIPO], XA_ATOM)) {
    if (t == a[TIPO_NORMAL] || t == a[TIPO_DIALOGO]) return capa::NORMAL;
    if (t == a[TIPO_UTILIDAD] || t == a[TIPO_BARRA] || t == a[TIPO_MENU] || t == a[TIPO_BIENVENIDA])
      return capa::FLOTANTE;
    if (t == a[TIPO_DOCK]) return capa::DOCK;
    if (t == a[TIPO_AVISO]) return capa::AVISO;
    if (t == a[TIPO_MENU_DESPLEGABLE] || t == a[TIPO_MENU_EMERGENTE] || t == a[TIPO_PISTA] ||
        t == a[TIPO_COMBO])
      return capa::MENU;
    if (t == a[TIPO_ESCRITORIO]) return std::nullopt;
  }
  return capa::NORMAL;
}

bool ServidorVentanas::esDialogo(Window w) {
  const auto tipos = propiedad(w, atomos(d_)[TIPO], XA_ATOM);
  return !tipos.empty() && tipos.front() == atomos(d_)[TIPO_DIALOGO];
}

std::optional<int32_t> ServidorVentanas::pidDe(Window w) {
  auto v = propiedad(w, atomos(d_)[PID], XA_CARDINAL, 1);
  if (v.empty()) return std::nullopt;
  return static_cast<int32_t>(v.front());
}

std::optional<std::string> ServidorVentanas::tituloDe(Window w) {
  auto titulo = cadena(w, atomos(d_)[NOMBRE], atomos(d_)[UTF8]);
  if (!titulo || titulo->empty()) titulo = cadena(w, XA_WM_NAME, AnyPropertyType);
  return titulo;
}

ServidorVentanas::Bordes ServidorVentanas::bordes(Window w, int nombre) {
  auto v = propiedad(w, atomos(d_)[nombre], XA_CARDINAL, 4);
  v.resize(4, 0);
  return {double(v[0]), double(v[1]), double(v[2]), double(v[3])};
}

std::optional<Rect> ServidorVentanas::contenido(Window w, double& borde) {
  XWindowAttributes atr;
  if (!XGetWindowAttributes(d_, w, &atr)) return std::nullopt;
  int x = 0, y = 0;
  Window hijo;
  if (!XTranslateCoordinates(d_, w, raiz_, 0, 0, &x, &y, &hijo)) return std::nullopt;
  borde = atr.border_width;
  // The shadows a client draws around itself (client-side decorations under a compositor) are
  // not part of what the user sees.
  const Bordes sombra = bordes(w, SOMBRAS);
  const Punto origen = conexion_.origenPrincipal();
  return Rect{x + sombra.izquierda - origen.x, y + sombra.arriba - origen.y,
              atr.width - sombra.izquierda - sombra.derecha,
              atr.height - sombra.arriba - sombra.abajo};
}

std::optional<Rect> ServidorVentanas::marcoDe(Window w) {
  double b = 0;
  const auto c = contenido(w, b);
  if (!c) return std::nullopt;
  // The window's border and the manager's decorations widen what the client draws in.
  const Bordes deco = bordes(w, EXTENSIONES);
  return Rect{c->x - b - deco.izquierda, c->y - b - deco.arriba,
              c->ancho + 2 * b + deco.izquierda + deco.derecha,
              c->alto + 2 * b + deco.arriba + deco.abajo};
}

std::optional<Rect> ServidorVentanas::contenidoDe(Window w) {
  double borde = 0;
  return contenido(w, borde);
}

Window ServidorVentanas::activa() {
  auto v = propiedad(raiz_, atomos(d_)[ACTIVA], XA_WINDOW, 1);
  return v.empty() ? 0 : v.front();
}

bool ServidorVentanas::existe(Window w) {
  XWindowAttributes atr;
  return XGetWindowAttributes(d_, w, &atr) != 0;
}

void ServidorVentanas::activar(Window w) {
  mensaje(w, atomos(d_)[ACTIVA], 2, CurrentTime, static_cast<long>(activa()));
}

Window ServidorVentanas::principalDe(int32_t pid) {
  auto lista = clientes();
  if (!lista) return 0;
  Window primera = 0;
  for (Window w : *lista) {
    if (pidDe(w) != pid) continue;
    if (enPantalla(w)) return w;
    if (!primera) primera = w;
  }
  return primera;
}

bool ServidorVentanas::minimizar(Window w) {
  const Atom* a = atomos(d_);
  // A manager that lists what a window allows and leaves minimising out would ignore it.
  const auto permitidas = propiedad(w, a[ACCIONES_PERMITIDAS], XA_ATOM);
  if (!permitidas.empty() &&
      std::find(permitidas.begin(), permitidas.end(), a[ACCION_MINIMIZAR]) == permitidas.end())
    return false;
  const bool enviado = XIconifyWindow(d_, w, DefaultScreen(d_)) != 0;
  XSync(d_, False);
  return enviado;
}

void ServidorVentanas::colocar(Window w, std::optional<Punto> origen,
                               std::optional<Medidas> medidas) {
  XWindowAttributes atr;
  if (!XGetWindowAttributes(d_, w, &atr)) return;
  const Bordes deco = bordes(w, EXTENSIONES), sombra = bordes(w, SOMBRAS);
  const double b = atr.border_width;
  const Punto base = conexion_.origenPrincipal();
  int x = 0, y = 0;
  unsigned ancho = 1, alto = 1;
  if (origen) {
    // The manager places its frame, which starts where the client's shadow does.
    x = posicionX(origen->x + base.x - sombra.izquierda);
    y = posicionX(origen->y + base.y - sombra.arriba);
  }
  if (medidas) {
    // The client gets what is left inside the decorations, and its shadows besides.
    ancho = medidaX(medidas->ancho - 2 * b - deco.izquierda - deco.derecha + sombra.izquierda +
                    sombra.derecha);
    alto = medidaX(medidas->alto - 2 * b - deco.arriba - deco.abajo + sombra.arriba + sombra.abajo);
  }
  const Atom mover = atomos(d_)[MOVER_REDIMENSIONAR];
  if (soporta(mover)) {
    // North-west gravity: the point is the frame's top-left corner. Bits 8-11 say which of
    // x, y, width, height are given; 2 << 12 says a pager asks.
    const long banderas = (origen ? 0x300 : 0) | (medidas ? 0xC00 : 0);
    mensaje(w, mover, NorthWestGravity | banderas | (2L << 12), x, y, static_cast<long>(ancho),
            static_cast<long>(alto));
    return;
  }
  if (origen && medidas)
    XMoveResizeWindow(d_, w, x, y, ancho, alto);
  else if (origen)
    XMoveWindow(d_, w, x, y);
  else if (medidas)
    XResizeWindow(d_, w, ancho, alto);
  XSync(d_, False);
}

std::optional<Rect> ServidorVentanas::areaDeTrabajo() {
  const Atom* a = atomos(d_);
  auto areas = propiedad(raiz_, a[AREA_DE_TRABAJO], XA_CARDINAL, 4096);
  auto actual = propiedad(raiz_, a[ESCRITORIO_ACTUAL], XA_CARDINAL, 1);
  size_t i = actual.empty() ? 0 : actual.front();
  if (areas.size() < 4 * (i + 1)) i = 0;
  if (areas.size() < 4) return std::nullopt;
  // x and y are signed when a monitor sits left of or above the root's origin.
  return Rect{double(static_cast<int32_t>(areas[4 * i])),
              double(static_cast<int32_t>(areas[4 * i + 1])), double(areas[4 * i + 2]),
              double(areas[4 * i + 3])};
}

std::string ServidorVentanas::direccionDeAccesibilidad() {
  if (!d_) return "";
  const Atom nombre = XInternAtom(d_, "AT_SPI_BUS", True);
  if (nombre == None) return "";
  return cadena(raiz_, nombre, XA_STRING).value_or("");
}

std::optional<Valor> VentanaX11::atributo(std::string_view nombre) {
  if (!s_.existe(w_)) return std::nullopt;
  if (nombre == "AXRole") return Valor(std::string("AXWindow"));
  if (nombre == "AXSubrole")
    return Valor(std::string(s_.esDialogo(w_) ? "AXDialog" : "AXStandardWindow"));
  if (nombre == "AXTitle") {
    auto t = s_.tituloDe(w_);
    if (!t) return std::nullopt;
    return Valor(*t);
  }
  if (nombre == "AXPosition" || nombre == "AXSize") {
    auto m = s_.marcoDe(w_);
    if (!m) return std::nullopt;
    if (nombre == "AXPosition") return Valor(Punto{m->x, m->y});
    return Valor(Medidas{m->ancho, m->alto});
  }
  if (nombre == "AXMinimized") return Valor(s_.oculta(w_));
  if (nombre == "AXFocused" || nombre == "AXMain") return Valor(s_.activa() == w_);
  return std::nullopt;
}

std::optional<std::vector<std::string>> VentanaX11::acciones() {
  return std::vector<std::string>{"AXRaise"};
}

int VentanaX11::realizar(std::string_view accion) {
  if (accion != "AXRaise" || !s_.existe(w_)) return AX_ERROR;
  s_.activar(w_);
  return AX_EXITO;
}

int VentanaX11::fijar(std::string_view nombre, const Valor& valor) {
  if (!s_.existe(w_)) return AX_ERROR;
  if (nombre == "AXPosition") {
    auto p = std::get_if<Punto>(&valor);
    if (!p) return AX_ERROR;
    s_.colocar(w_, *p, std::nullopt);
    return AX_EXITO;
  }
  if (nombre == "AXSize") {
    auto m = std::get_if<Medidas>(&valor);
    if (!m) return AX_ERROR;
    s_.colocar(w_, std::nullopt, *m);
    return AX_EXITO;
  }
  if (nombre == "AXMinimized") {
    auto b = std::get_if<bool>(&valor);
    if (!b) return AX_ERROR;
    if (*b) return s_.minimizar(w_) ? AX_EXITO : AX_ERROR;
    // Activating a minimised window is how a manager is asked to restore it.
    if (s_.oculta(w_)) s_.activar(w_);
    return AX_EXITO;
  }
  return AX_ERROR;
}

std::vector<ElementoRef> VentanasDeAplicacion::ventanas(int32_t pid) {
  std::vector<ElementoRef> lista;
  if (auto clientes = s_.clientes())
    for (Window w : *clientes)
      if (s_.pidDe(w) == pid && s_.capaDe(w)) lista.push_back(std::make_shared<VentanaX11>(s_, w));
  return lista;
}

ElementoRef VentanasDeAplicacion::principal(int32_t pid) {
  const Window w = s_.principalDe(pid);
  if (!w || !s_.enPantalla(w)) return nullptr;
  return std::make_shared<VentanaX11>(s_, w);
}

ElementoRef VentanasDeAplicacion::enfocada(int32_t pid) {
  const Window w = s_.activa();
  if (!w || s_.pidDe(w) != pid) return nullptr;
  return std::make_shared<VentanaX11>(s_, w);
}

bool VentanasDeAplicacion::activar(int32_t pid) {
  const Window w = s_.principalDe(pid);
  if (!w) return false;
  s_.activar(w);
  return true;
}

std::optional<std::string> nombreDeProceso(int32_t pid) {
  // The program comes first; a process may carry megabytes of arguments after it, or in its
  // place, and no path is longer than this.
  constexpr size_t LARGO_PROGRAMA = 4096;
  const auto linea = leerPrincipio("/proc/" + std::to_string(pid) + "/cmdline", LARGO_PROGRAMA);
  if (!linea) return std::nullopt;
  const size_t fin = linea->find('\0');
  std::string programa = linea->substr(0, fin);
  if (programa.empty()) return std::nullopt;
  const auto barra = programa.rfind('/');
  if (barra != std::string::npos) programa.erase(0, barra + 1);
  if (programa.empty()) return std::nullopt;
  // A program's file name is any bytes; the reply carries text. One longer than the bound is
  // cut there.
  return utf8Reparado(programa, fin == std::string::npos && linea->size() == LARGO_PROGRAMA);
}

}  // namespace tildo
