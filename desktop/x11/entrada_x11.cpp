#include "desktop/x11/entrada_x11.h"

#include <X11/XKBlib.h>
#include <X11/Xatom.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <thread>

#include "common/fallo.h"

namespace tildo {
namespace {

// Clients read a changed keyboard mapping lazily, when they next translate a key, so a binding
// is left in place at least this long before it is changed again or undone: long enough for a
// busy client to reach the keys typed with it.
constexpr auto VIDA_MINIMA = std::chrono::milliseconds(200);

// How often a run waiting for the keyboard looks whether the run holding it has let it go.
constexpr auto ESPERA_TURNO = std::chrono::milliseconds(10);

// Restores a lent keycode's entry as the server had it.
void devolver(XkbDescPtr xkb, const x11::Prestada& t) {
  XkbSymMapRec& m = xkb->map->key_sym_map[t.keycode];
  std::copy(std::begin(t.tipos), std::end(t.tipos), m.kt_index);
  m.group_info = t.grupos;
  m.width = t.ancho;
}

// X coordinates are 16-bit; the server keeps the pointer on screen anyway.
// Without XTest every fake event call returns 0; the first one tells, before anything is posted.
// Asking for the extension up front would cost each run two round trips more.
void conXTest(int resultado) {
  if (!resultado) fallo("la pantalla X no admite XTest: no puedo simular el ratón ni el teclado");
}

int coordenadaX(double v) {
  return static_cast<int>(std::lround(std::clamp(v, -32768.0, 32767.0)));
}

unsigned botonX(int tipo, int boton) {
  switch (tipo) {
    case tipo::DERECHO_ABAJO:
    case tipo::DERECHO_ARRIBA:
      return 3;
    case tipo::OTRO_ABAJO:
    case tipo::OTRO_ARRIBA:
      // The platform's other buttons: 2 is the middle one, 3 and 4 back and forward.
      return boton >= 3 ? unsigned(boton) + 5 : 2;
    default:
      return 1;
  }
}

}  // namespace

EntradaX11::EntradaX11(ConexionX11& conexion) : conexion_(conexion), d_(conexion.pantalla()) {}

// Closing the display afterwards waits for the server to take every event.
EntradaX11::~EntradaX11() {
  terminarTexto();
  if (teclado_) XkbFreeKeyboard(teclado_, XkbAllComponentsMask, True);
  interrupcion_.reset();
}

void EntradaX11::raton(int tipo, Punto punto, int boton) {
  if (!origenLeido_) {
    origen_ = conexion_.origenPrincipal();
    origenLeido_ = true;
  }
  // Every pointer event carries its point; the pointer goes there first, as it does with the
  // platform's events.
  conXTest(XTestFakeMotionEvent(d_, -1, coordenadaX(origen_.x + punto.x),
                                coordenadaX(origen_.y + punto.y), CurrentTime));
  switch (tipo) {
    case tipo::IZQUIERDO_ABAJO:
    case tipo::DERECHO_ABAJO:
    case tipo::OTRO_ABAJO:
      XTestFakeButtonEvent(d_, botonX(tipo, boton), True, CurrentTime);
      break;
    case tipo::IZQUIERDO_ARRIBA:
    case tipo::DERECHO_ARRIBA:
    case tipo::OTRO_ARRIBA:
      XTestFakeButtonEvent(d_, botonX(tipo, boton), False, CurrentTime);
      break;
    default:
      break;
  }
  XFlush(d_);
}

void EntradaX11::rueda(int32_t rueda1, int32_t rueda2) {
  // Positive wheel 1 scrolls up (button 4), negative down (5); positive wheel 2 scrolls left
  // (6), negative right (7).
  auto clics = [&](int32_t pixeles, unsigned positivo, unsigned negativo) {
    const unsigned b = pixeles > 0 ? positivo : negativo;
    for (uint32_t i = x11::clicsDeRueda(pixeles); i > 0; --i) {
      conXTest(XTestFakeButtonEvent(d_, b, True, CurrentTime));
      XTestFakeButtonEvent(d_, b, False, CurrentTime);
    }
  };
  clics(rueda1, 4, 5);
  clics(rueda2, 6, 7);
  XFlush(d_);
}

void EntradaX11::tecla(uint16_t codigo, bool abajo, std::optional<uint64_t> banderas,
                       const std::u16string& texto) {
  if (!texto.empty()) {
    // A character is its code points' keys in turn; the last one is held until the key-up.
    const auto keysyms = x11::keysymsDeCaracter(texto);
    if (keysyms.empty()) return;
    if (!abajo) {
      auto it = ligadas_.find(keysyms.back());
      if (it != ligadas_.end()) pulsar(it->second, false);
      XFlush(d_);
      return;
    }
    for (size_t i = 0; i < keysyms.size(); ++i) {
      const unsigned keycode = ligada(keysyms[i]);
      if (posicion_ < secuencia_.size() && secuencia_[posicion_] == keysyms[i]) ++posicion_;
      pulsar(keycode, true);
      if (i + 1 < keysyms.size()) pulsar(keycode, false);
    }
    XFlush(d_);
    return;
  }
  const uint32_t keysym = x11::keysymDeTecla(codigo);
  if (!keysym) return;
  unsigned keycode = keycodeEnGrupo(keysym);
  if (!keycode) keycode = ligada(keysym);
  const auto mods = modificadores(banderas.value_or(0));
  if (abajo) {
    for (unsigned m : mods) pulsar(m, true);
    pulsar(keycode, true);
  } else {
    pulsar(keycode, false);
    for (auto m = mods.rbegin(); m != mods.rend(); ++m) pulsar(*m, false);
  }
  XFlush(d_);
}

void EntradaX11::pausa(uint32_t microsegundos) {
  XFlush(d_);
  if (interrupcion_)
    interrupcion_->dormir(std::chrono::microseconds(microsegundos));
  else
    ::usleep(microsegundos);
}

void EntradaX11::prepararTexto(const std::vector<std::u16string>& caracteres) {
  secuencia_.clear();
  posicion_ = 0;
  for (const auto& c : caracteres)
    for (uint32_t k : x11::keysymsDeCaracter(c)) secuencia_.push_back(k);
  if (secuencia_.empty()) return;
  teclado();
  if (libres_.empty()) fallo("el teclado no tiene códigos de tecla libres con los que escribir");
  ligar(x11::siguienteLote(secuencia_[0], secuencia_, 0, libres_.size()));
  // A locked Caps Lock would make clients type the letters in capitals; it is unlocked for
  // the text and locked again after it. Each key event carries the state it was made in, so
  // locking again cannot reach keys typed before.
  if (mayusculasFijas_) {
    mayusculasSueltas_ = true;
    anotarPrestamo();
    XkbLockModifiers(d_, XkbUseCoreKbd, LockMask, 0);
  }
}

void EntradaX11::terminarTexto() {
  soltarPulsadas();
  restaurar();
  if (mayusculasSueltas_) {
    XkbLockModifiers(d_, XkbUseCoreKbd, LockMask, LockMask);
    mayusculasSueltas_ = false;
  }
  // Only once everything is back: a run killed before this leaves the note for the next one.
  if (anotado_) {
    XDeleteProperty(d_, DefaultRootWindow(d_), nota_);
    anotado_ = false;
  }
  XFlush(d_);
  secuencia_.clear();
  posicion_ = 0;
}

_XkbDesc* EntradaX11::teclado() {
  if (teclado_) return teclado_;
  int op, evento, error, mayor = XkbMajorVersion, menor = XkbMinorVersion;
  if (!XkbQueryExtension(d_, &op, &evento, &error, &mayor, &menor))
    fallo("la pantalla X no admite XKB: no puedo simular el teclado");
  interrupcion_.emplace();
  tomarTeclado();
  teclado_ = XkbGetMap(d_, XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask, XkbUseCoreKbd);
  if (!teclado_) fallo("no pude leer el teclado de la pantalla X");
  repararPrestamo();
  XkbStateRec estado;
  if (XkbGetState(d_, XkbUseCoreKbd, &estado) == Success) {
    grupo_ = estado.group;
    mayusculasFijas_ = estado.locked_mods & LockMask;
  }
  for (int k = teclado_->max_key_code; k >= teclado_->min_key_code; --k) {
    const XkbSymMapRec& m = teclado_->map->key_sym_map[k];
    if (XkbNumGroups(m.group_info) != 0 || teclado_->map->modmap[k] != 0) continue;
    libres_.push_back({unsigned(k),
                       {m.kt_index[0], m.kt_index[1], m.kt_index[2], m.kt_index[3]},
                       m.group_info,
                       m.width,
                       0});
  }
  return teclado_;
}

void EntradaX11::tomarTeclado() {
  char* nombres[] = {const_cast<char*>("_TILDO_TECLADO"),
                     const_cast<char*>("_TILDO_TECLAS_PRESTADAS")};
  Atom atomos[2];
  XInternAtoms(d_, nombres, 2, False, atomos);
  seleccion_ = atomos[0];
  nota_ = atomos[1];
  // The selection goes with this connection: a run that is killed lets the keyboard go.
  const Window propia = XCreateSimpleWindow(d_, DefaultRootWindow(d_), 0, 0, 1, 1, 0, 0, 0);
  while (true) {
    // Setting a selection's owner always succeeds; under the grab, looking first and taking it
    // only when nobody has it is one step.
    XGrabServer(d_);
    const bool libre = XGetSelectionOwner(d_, seleccion_) == None;
    if (libre) XSetSelectionOwner(d_, seleccion_, propia, CurrentTime);
    XUngrabServer(d_);
    XFlush(d_);
    if (libre) return;
    interrupcion_->dormir(ESPERA_TURNO);
  }
}

void EntradaX11::repararPrestamo() {
  const Window raiz = DefaultRootWindow(d_);
  Atom tipo;
  int formato = 0;
  unsigned long n = 0, resto = 0;
  unsigned char* datos = nullptr;
  if (XGetWindowProperty(d_, raiz, nota_, 0, 1024, False, XA_INTEGER, &tipo, &formato, &n, &resto,
                         &datos) != Success)
    return;
  std::vector<unsigned char> bytes;
  if (datos && formato == 8) bytes.assign(datos, datos + n);
  if (datos) XFree(datos);
  if (tipo == None) return;
  if (auto nota = x11::leerNota(bytes)) {
    // A run killed between a key's press and release leaves the key held, and the server
    // repeats it; it is let go while it still types what it was held for.
    char abajo[32];
    XQueryKeymap(d_, abajo);
    for (const x11::Prestada& t : nota->teclas)
      if (abajo[t.keycode / 8] & (1 << (t.keycode % 8)))
        XTestFakeKeyEvent(d_, t.keycode, False, CurrentTime);
    XkbDescPtr xkb = teclado_;
    unsigned primera = xkb->max_key_code, ultima = xkb->min_key_code;
    for (const x11::Prestada& t : nota->teclas) {
      if (!t.keysym || t.keycode < xkb->min_key_code || t.keycode > xkb->max_key_code) continue;
      // Only a keycode still bound as the run bound it is repaired: a layout loaded since then
      // keeps what it set.
      const XkbSymMapRec& m = xkb->map->key_sym_map[t.keycode];
      if (XkbNumGroups(m.group_info) != 1 || m.width != 1 || m.kt_index[0] != XkbOneLevelIndex ||
          XkbKeySym(xkb, t.keycode, 0) != t.keysym)
        continue;
      devolver(xkb, t);
      primera = std::min(primera, t.keycode);
      ultima = std::max(ultima, t.keycode);
    }
    if (primera <= ultima) escribirBloque(primera, ultima);
    XkbStateRec estado;
    if (nota->mayusculasSueltas && XkbGetState(d_, XkbUseCoreKbd, &estado) == Success &&
        !(estado.locked_mods & LockMask))
      XkbLockModifiers(d_, XkbUseCoreKbd, LockMask, LockMask);
  }
  XDeleteProperty(d_, raiz, nota_);
  XSync(d_, False);
}

void EntradaX11::anotarPrestamo() {
  x11::Prestamo prestamo{mayusculasSueltas_, libres_};
  for (const auto& [keysym, keycode] : ligadas_)
    for (x11::Prestada& t : prestamo.teclas)
      if (t.keycode == keycode) t.keysym = keysym;
  const auto bytes = x11::anotar(prestamo);
  XChangeProperty(d_, DefaultRootWindow(d_), nota_, XA_INTEGER, 8, PropModeReplace, bytes.data(),
                  int(bytes.size()));
  anotado_ = true;
}

unsigned EntradaX11::keycodeEnGrupo(uint32_t keysym) {
  XkbDescPtr xkb = teclado();
  for (int k = xkb->min_key_code; k <= xkb->max_key_code; ++k) {
    if (XkbKeyNumGroups(xkb, k) == 0) continue;
    unsigned int consumidos = 0;
    KeySym dado = NoSymbol;
    if (XkbTranslateKeyCode(xkb, KeyCode(k), XkbBuildCoreState(0, grupo_), &consumidos, &dado) &&
        dado == keysym)
      return unsigned(k);
  }
  return 0;
}

unsigned EntradaX11::ligada(uint32_t keysym) {
  auto it = ligadas_.find(keysym);
  if (it != ligadas_.end()) return it->second;
  teclado();
  if (libres_.empty()) fallo("el teclado no tiene códigos de tecla libres con los que escribir");
  ligar(x11::siguienteLote(keysym, secuencia_, posicion_, libres_.size()));
  return ligadas_.at(keysym);
}

void EntradaX11::ligar(const std::vector<uint32_t>& lote) {
  XkbDescPtr xkb = teclado();
  if (enUso_ > 0) esperarAQueLeanElMapa();
  ligadas_.clear();
  for (size_t i = 0; i < lote.size(); ++i) {
    const unsigned k = libres_[i].keycode;
    KeySym* syms = XkbResizeKeySyms(xkb, int(k), 1);
    if (!syms) fallo("no pude preparar el teclado de la pantalla X");
    syms[0] = lote[i];
    XkbSymMapRec& m = xkb->map->key_sym_map[k];
    m.kt_index[0] = XkbOneLevelIndex;
    m.group_info = XkbSetNumGroups(0, 1);
    m.width = 1;
    ligadas_[lote[i]] = k;
  }
  // Spare keycodes bound before and not now go back to nothing in the same request.
  for (size_t i = lote.size(); i < enUso_; ++i) devolver(xkb, libres_[i]);
  const size_t escritas = std::max(enUso_, lote.size());
  enUso_ = lote.size();
  anotarPrestamo();
  if (!escribirLibres(escritas)) fallo("la pantalla X no aceptó el cambio de teclado");
  ligadoEn_ = std::chrono::steady_clock::now();
}

void EntradaX11::restaurar() {
  if (enUso_ == 0) return;
  esperarAQueLeanElMapa();
  for (size_t i = 0; i < enUso_; ++i) devolver(teclado_, libres_[i]);
  const size_t escritas = enUso_;
  enUso_ = 0;
  ligadas_.clear();
  escribirLibres(escritas);
}

bool EntradaX11::escribirLibres(size_t n) {
  if (n == 0) return true;
  // The highest n spare keycodes span one block; keycodes in between are written back exactly
  // as the server described them, so one request changes them all.
  return escribirBloque(libres_[n - 1].keycode, libres_[0].keycode);
}

bool EntradaX11::escribirBloque(unsigned primera, unsigned ultima) {
  XkbMapChangesRec cambios{};
  cambios.changed = XkbKeySymsMask;
  cambios.first_key_sym = KeyCode(primera);
  cambios.num_key_syms = ultima - primera + 1;
  const unsigned long antes = ConexionX11::errores();
  XkbChangeMap(d_, teclado_, &cambios);
  XSync(d_, False);
  return ConexionX11::errores() == antes;
}

void EntradaX11::esperarAQueLeanElMapa() {
  XSync(d_, False);
  std::this_thread::sleep_until(ligadoEn_ + VIDA_MINIMA);
}

void EntradaX11::pulsar(unsigned keycode, bool abajo) {
  conXTest(XTestFakeKeyEvent(d_, keycode, abajo ? True : False, CurrentTime));
  auto it = std::find(pulsadas_.begin(), pulsadas_.end(), keycode);
  if (abajo && it == pulsadas_.end()) pulsadas_.push_back(keycode);
  if (!abajo && it != pulsadas_.end()) pulsadas_.erase(it);
}

// A command stopped between a key's press and its release would leave the key held: the server
// would repeat it, and a held modifier would change every key the user presses.
void EntradaX11::soltarPulsadas() {
  while (!pulsadas_.empty()) {
    XTestFakeKeyEvent(d_, pulsadas_.back(), False, CurrentTime);
    pulsadas_.pop_back();
  }
}

std::vector<unsigned> EntradaX11::modificadores(uint64_t banderas) {
  // The secondary-function flag has no X counterpart and presses nothing.
  static const std::pair<uint64_t, uint32_t> TECLAS[] = {
      {bandera::CONTROL, XK_Control_L},
      {bandera::MAYUSCULAS, XK_Shift_L},
      {bandera::OPCION, XK_Alt_L},
      {bandera::COMANDO, XK_Super_L},
  };
  std::vector<unsigned> teclas;
  for (const auto& [mascara, keysym] : TECLAS)
    if (banderas & mascara)
      if (unsigned k = keycodeEnGrupo(keysym)) teclas.push_back(k);
  return teclas;
}

}  // namespace tildo
