#include "desktop/x11/entrada_x11.h"

#include <X11/keysym.h>
#include <xcb/randr.h>
#include <xcb/xtest.h>
// xcb's XKB header names a field "explicit", which C++ reserves.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <memory>

#include "common/fallo.h"
#include "desktop/teclear.h"

namespace tildo {
namespace {

// Clients read a changed keyboard mapping lazily, when they next translate a key, so a binding
// is left in place at least this long before it is changed again or undone: long enough for a
// busy client to reach the keys typed with it.
constexpr auto VIDA_MINIMA = std::chrono::milliseconds(200);

// When a pause reads the server's answer: within its last moments, which it waits awake, so that
// the read does not make it sleep twice.
constexpr auto LEER_ANTES = DESPIERTO / 2;

// How often a run waiting for the keyboard looks whether the run holding it has let it go, and
// for how long before it gives up: a holder that is stopped (SIGSTOP, a debugger) keeps it for
// ever.
constexpr auto ESPERA_TURNO = std::chrono::milliseconds(10);
constexpr auto ESPERA_MAXIMA = std::chrono::seconds(2);

constexpr xcb_xkb_device_spec_t TECLADO_PRINCIPAL = XCB_XKB_ID_USE_CORE_KBD;
constexpr uint8_t MASCARA_BLOQ_MAYUS = XCB_MOD_MASK_LOCK;

// An xcb reply, freed as xcb asks.
template <typename T>
std::unique_ptr<T, void (*)(void*)> respuesta(T* r) {
  return {r, &std::free};
}

bool presente(xcb_connection_t* c, xcb_extension_t* extension) {
  const xcb_query_extension_reply_t* r = xcb_get_extension_data(c, extension);
  return r && r->present;
}

// Fills the keyboard with what a map reply holds: the levels of the key types, when it has them,
// and the symbols and modifiers of the keycodes of its range (one without modifiers in the
// reply has none).
void leerMapa(const xcb_xkb_get_map_reply_t* mapa, x11::TecladoXkb& teclado) {
  xcb_xkb_get_map_map_t m;
  xcb_xkb_get_map_map_unpack(xcb_xkb_get_map_map(mapa), mapa->nTypes, mapa->nKeySyms,
                             mapa->nKeyActions, mapa->totalActions, mapa->totalKeyBehaviors,
                             mapa->virtualMods, mapa->totalKeyExplicit, mapa->totalModMapKeys,
                             mapa->totalVModMapKeys, mapa->present, &m);
  if (mapa->present & XCB_XKB_MAP_PART_KEY_TYPES) {
    teclado.nivelSinModificadores.clear();
    for (auto it = xcb_xkb_get_map_map_types_rtrn_iterator(mapa, &m); it.rem;
         xcb_xkb_key_type_next(&it)) {
      // The level an entry of the type's map gives when the state's modifiers match its own;
      // with none held, the entry that asks for none.
      unsigned nivel = 0;
      const xcb_xkb_kt_map_entry_t* entradas = xcb_xkb_key_type_map(it.data);
      for (int i = 0; i < xcb_xkb_key_type_map_length(it.data); ++i)
        if (entradas[i].active && entradas[i].mods_mask == 0) {
          nivel = entradas[i].level;
          break;
        }
      teclado.nivelSinModificadores.push_back(nivel);
    }
  }
  unsigned k = mapa->firstKeySym;
  for (auto it = xcb_xkb_get_map_map_syms_rtrn_iterator(mapa, &m); it.rem;
       xcb_xkb_key_sym_map_next(&it), ++k) {
    if (!teclado.tiene(k)) continue;
    x11::TeclaXkb& t = teclado.tecla(k);
    std::copy(std::begin(it.data->kt_index), std::end(it.data->kt_index), t.tipos);
    t.grupos = it.data->groupInfo;
    t.ancho = it.data->width;
    const xcb_keysym_t* syms = xcb_xkb_key_sym_map_syms(it.data);
    t.keysyms.assign(syms, syms + xcb_xkb_key_sym_map_syms_length(it.data));
    t.modificadores = 0;
  }
  const xcb_xkb_key_mod_map_t* mods = xcb_xkb_get_map_map_modmap_rtrn(&m);
  for (int i = 0; i < xcb_xkb_get_map_map_modmap_rtrn_length(mapa, &m); ++i)
    if (teclado.tiene(mods[i].keycode)) teclado.tecla(mods[i].keycode).modificadores = mods[i].mods;
}

// X coordinates are 16-bit; the server keeps the pointer on screen anyway.
int16_t coordenadaX(double v) {
  return static_cast<int16_t>(std::lround(std::clamp(v, -32768.0, 32767.0)));
}

uint8_t botonX(int tipo, int boton) {
  switch (tipo) {
    case tipo::DERECHO_ABAJO:
    case tipo::DERECHO_ARRIBA:
      return 3;
    case tipo::OTRO_ABAJO:
    case tipo::OTRO_ARRIBA:
      // The platform's other buttons: 2 is the middle one, 3 and 4 back and forward.
      return boton >= 3 ? uint8_t(boton + 5) : 2;
    default:
      return 1;
  }
}

void falsear(xcb_connection_t* c, uint8_t tipo, uint8_t detalle, int16_t x = 0, int16_t y = 0) {
  xcb_test_fake_input(c, tipo, detalle, XCB_CURRENT_TIME, XCB_NONE, x, y, 0);
}

}  // namespace

EntradaX11::EntradaX11(ConexionX11& conexion, bool conGuardia)
    : conexion_(conexion), conGuardia_(conGuardia) {}

// The connection waits, as it closes, for the server to take every event. The guardian is let
// go only once the server has: a client that hangs up loses what the server has not read yet.
EntradaX11::~EntradaX11() {
  terminarTexto();
  while (!botones_.empty()) pulsarBoton(botones_.back(), false);
  if (guardia_) {
    conexion_.confirmar();
    guardia_.reset();
  }
  interrupcion_.reset();
}

void EntradaX11::deshacer(const Retenido& retenido) {
  ConexionX11 conexion;
  EntradaX11 entrada(conexion, false);
  xcb_connection_t* c = entrada.conectada();
  for (uint8_t keycode : retenido.teclas) falsear(c, XCB_KEY_RELEASE, keycode);
  for (uint8_t boton : retenido.botones) falsear(c, XCB_BUTTON_RELEASE, boton);
  xcb_flush(c);
  if (retenido.teclado) entrada.teclado();
}

void EntradaX11::retener() {
  if (!interrupcion_) interrupcion_.emplace();
  if (conGuardia_ && !guardia_) guardia_.emplace(&EntradaX11::deshacer);
}

void EntradaX11::raton(int tipo, Punto punto, int boton) {
  xcb_connection_t* c = puntero();
  // Every pointer event carries its point; the pointer goes there first, as it does with the
  // platform's events.
  falsear(c, XCB_MOTION_NOTIFY, 0, coordenadaX(origen_.x + punto.x),
          coordenadaX(origen_.y + punto.y));
  switch (tipo) {
    case tipo::IZQUIERDO_ABAJO:
    case tipo::DERECHO_ABAJO:
    case tipo::OTRO_ABAJO:
      pulsarBoton(botonX(tipo, boton), true);
      break;
    case tipo::IZQUIERDO_ARRIBA:
    case tipo::DERECHO_ARRIBA:
    case tipo::OTRO_ARRIBA:
      pulsarBoton(botonX(tipo, boton), false);
      break;
    default:
      break;
  }
}

void EntradaX11::rueda(int32_t rueda1, int32_t rueda2) {
  xcb_connection_t* c = puntero();
  // Positive wheel 1 scrolls up (button 4), negative down (5); positive wheel 2 scrolls left
  // (6), negative right (7).
  auto clics = [&](int32_t pixeles, uint8_t positivo, uint8_t negativo) {
    const uint8_t b = pixeles > 0 ? positivo : negativo;
    for (uint32_t i = x11::clicsDeRueda(pixeles); i > 0; --i) {
      falsear(c, XCB_BUTTON_PRESS, b);
      falsear(c, XCB_BUTTON_RELEASE, b);
    }
  };
  clics(rueda1, 4, 5);
  clics(rueda2, 6, 7);
}

void EntradaX11::tecla(uint16_t codigo, bool abajo, std::optional<uint64_t> banderas,
                       const std::u16string& texto) {
  if (!texto.empty()) {
    teclearCaracter(
        texto, abajo, secuencia_, posicion_, [this](uint32_t k) { return ligada(k); },
        [this](uint32_t k) -> std::optional<uint32_t> {
          auto it = ligadas_.find(k);
          if (it == ligadas_.end()) return std::nullopt;
          return it->second;
        },
        [this](uint32_t keycode, bool abajo) { pulsar(keycode, abajo); });
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
}

// The pause starts once the events are sent. The server works through them meanwhile and says
// so, so that after the last pause of a sequence there is nothing left to wait for. Its answer is
// read just before the pause ends, while the run is awake anyway: the events after the pause then
// go out with nothing to read first, and a final wait on it reads nothing.
void EntradaX11::pausa(uint32_t microsegundos) {
  if (c_) conexion_.pedirConfirmacion();
  const auto fin = std::chrono::steady_clock::now() + std::chrono::microseconds(microsegundos);
  auto dormir = [this](std::chrono::steady_clock::time_point hasta) {
    if (interrupcion_)
      interrupcion_->dormirHasta(hasta);
    else
      dormirHasta(hasta);
  };
  if (c_) {
    dormir(fin - LEER_ANTES);
    conexion_.leerLlegado();
  }
  dormir(fin);
}

void EntradaX11::prepararTexto(const std::vector<std::u16string>& caracteres) {
  secuencia_ = x11::keysymsDeTexto(caracteres);
  posicion_ = 0;
  if (secuencia_.empty()) return;
  ligar(secuencia_[0], 0);
  // A locked Caps Lock would make clients type the letters in capitals; it is unlocked for
  // the text and locked again after it. Each key event carries the state it was made in, so
  // locking again cannot reach keys typed before.
  if (mayusculasFijas_) {
    mayusculasSueltas_ = true;
    anotarPrestamo();
    bloquearMayusculas(false);
  }
}

void EntradaX11::terminarTexto() {
  if (!teclado_) return;
  soltarPulsadas();
  restaurar();
  if (mayusculasSueltas_) {
    bloquearMayusculas(true);
    mayusculasSueltas_ = false;
  }
  // Only once everything is back: a run killed before this leaves the note for the next one.
  if (anotado_) {
    xcb_delete_property(c_, conexion_.raiz(), nota_);
    anotado_ = false;
  }
  xcb_flush(c_);
  secuencia_.clear();
  posicion_ = 0;
}

xcb_connection_t* EntradaX11::conectada() {
  if (!c_) c_ = conexion_.xcb();
  if (!c_) ConexionX11::inalcanzable();
  return c_;
}

xcb_connection_t* EntradaX11::puntero() {
  xcb_connection_t* c = conectada();
  if (!punteroListo_) {
    xcb_prefetch_extension_data(c, &xcb_test_id);
    xcb_prefetch_extension_data(c, &xcb_randr_id);
    origen_ = conexion_.origenPrincipal();
    if (!presente(c, &xcb_test_id))
      fallo("la pantalla X no admite XTest: no puedo simular el ratón ni el teclado");
    punteroListo_ = true;
  }
  return c;
}

const x11::TecladoXkb& EntradaX11::teclado() {
  if (teclado_) return *teclado_;
  xcb_connection_t* c = conectada();
  xcb_prefetch_extension_data(c, &xcb_test_id);
  xcb_prefetch_extension_data(c, &xcb_xkb_id);
  const auto cookieSeleccion = xcb_intern_atom(c, 0, 14, "_TILDO_TECLADO");
  const auto cookieNota = xcb_intern_atom(c, 0, 23, "_TILDO_TECLAS_PRESTADAS");
  if (!presente(c, &xcb_test_id))
    fallo("la pantalla X no admite XTest: no puedo simular el ratón ni el teclado");
  if (!presente(c, &xcb_xkb_id)) fallo("la pantalla X no admite XKB: no puedo simular el teclado");
  auto seleccion = respuesta(xcb_intern_atom_reply(c, cookieSeleccion, nullptr));
  auto nota = respuesta(xcb_intern_atom_reply(c, cookieNota, nullptr));
  if (!seleccion || !nota) fallo("no pude leer el teclado de la pantalla X");
  seleccion_ = seleccion->atom;
  nota_ = nota->atom;
  // XKB answers only clients that have asked to use it; the answer travels with the keyboard's.
  const auto cookieXkb = xcb_xkb_use_extension(c, XCB_XKB_MAJOR_VERSION, XCB_XKB_MINOR_VERSION);
  retener();
  if (guardia_) guardia_->avisar(Aviso::TECLADO);
  tomarTeclado();
  auto xkb = respuesta(xcb_xkb_use_extension_reply(c, cookieXkb, nullptr));
  if (!xkb || !xkb->supported) fallo("la pantalla X no admite XKB: no puedo simular el teclado");
  leerTeclado();
  return *teclado_;
}

void EntradaX11::tomarTeclado() {
  // The selection goes with this connection: a run that is killed lets the keyboard go.
  const xcb_window_t propia = xcb_generate_id(c_);
  xcb_create_window(c_, XCB_COPY_FROM_PARENT, propia, conexion_.raiz(), 0, 0, 1, 1, 0,
                    XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
  const auto limite = std::chrono::steady_clock::now() + ESPERA_MAXIMA;
  while (true) {
    // Setting a selection's owner always succeeds; under the grab, looking first and taking it
    // only when nobody has it is one step. The keyboard is read under the same grab, in the
    // same wait: when the selection is free, no run has keycodes bound.
    xcb_grab_server(c_);
    const auto cookieDuena = xcb_get_selection_owner(c_, seleccion_);
    const uint16_t partes =
        XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP;
    const auto cookieMapa = xcb_xkb_get_map(c_, TECLADO_PRINCIPAL, partes, 0, 0, 0, 0, 0, 0, 0, 0,
                                            0, 0, 0, 0, 0, 0, 0, 0);
    const auto cookieEstado = xcb_xkb_get_state(c_, TECLADO_PRINCIPAL);
    const auto cookieNota =
        xcb_get_property(c_, 0, conexion_.raiz(), nota_, XCB_ATOM_INTEGER, 0, 1024);
    const auto cookieAbajo = xcb_query_keymap(c_);
    auto duena = respuesta(xcb_get_selection_owner_reply(c_, cookieDuena, nullptr));
    lectura_ = {respuesta(xcb_xkb_get_map_reply(c_, cookieMapa, nullptr)),
                respuesta(xcb_xkb_get_state_reply(c_, cookieEstado, nullptr)),
                respuesta(xcb_get_property_reply(c_, cookieNota, nullptr)),
                respuesta(xcb_query_keymap_reply(c_, cookieAbajo, nullptr))};
    const bool libre = duena && duena->owner == XCB_NONE;
    if (libre) xcb_set_selection_owner(c_, propia, seleccion_, XCB_CURRENT_TIME);
    xcb_ungrab_server(c_);
    xcb_flush(c_);
    conexion_.comprobarConexion();
    if (libre) return;
    if (std::chrono::steady_clock::now() >= limite)
      fallo(
          "otra ejecución de tildo-ax tiene el teclado desde hace más de 2 s (¿está detenida?); "
          "no pulsé ninguna tecla");
    interrupcion_->dormirHasta(std::chrono::steady_clock::now() + ESPERA_TURNO);
  }
}

void EntradaX11::leerTeclado() {
  const auto& mapa = lectura_.mapa;
  const uint16_t partes =
      XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP;
  if (!mapa || (mapa->present & partes) != partes)
    fallo("no pude leer el teclado de la pantalla X");

  x11::TecladoXkb teclado;
  teclado.minima = mapa->minKeyCode;
  teclado.teclas.resize(size_t(mapa->maxKeyCode) - mapa->minKeyCode + 1);
  leerMapa(mapa.get(), teclado);
  teclado_ = std::move(teclado);

  if (lectura_.estado) {
    grupo_ = lectura_.estado->group;
    mayusculasFijas_ = lectura_.estado->lockedMods & MASCARA_BLOQ_MAYUS;
  }
  const auto& nota = lectura_.nota;
  if (nota && nota->type != XCB_NONE) {
    const auto* datos = static_cast<const uint8_t*>(xcb_get_property_value(nota.get()));
    std::vector<uint8_t> bytes;
    if (nota->format == 8) bytes.assign(datos, datos + xcb_get_property_value_length(nota.get()));
    std::vector<uint8_t> abajo(32);
    if (lectura_.abajo)
      abajo.assign(std::begin(lectura_.abajo->keys), std::end(lectura_.abajo->keys));
    if (auto prestamo = x11::leerNota(bytes)) repararPrestamo(*prestamo, abajo);
    xcb_delete_property(c_, conexion_.raiz(), nota_);
  }
  lectura_ = {};

  for (unsigned k = teclado_->maxima(); k >= teclado_->minima; --k) {
    const x11::TeclaXkb& t = teclado_->tecla(k);
    if (!x11::libre(t)) continue;
    libres_.push_back({k, {t.tipos[0], t.tipos[1], t.tipos[2], t.tipos[3]}, t.grupos, t.ancho, 0});
  }
}

void EntradaX11::repararPrestamo(const x11::Prestamo& nota, const std::vector<uint8_t>& abajo) {
  // A run killed between a key's press and release leaves the key held, and the server
  // repeats it; it is let go while it still types what it was held for.
  for (const x11::Prestada& t : nota.teclas)
    if (t.keycode / 8 < abajo.size() && (abajo[t.keycode / 8] & (1 << (t.keycode % 8))))
      falsear(c_, XCB_KEY_RELEASE, uint8_t(t.keycode));
  const x11::TecladoXkb& teclado = *teclado_;
  std::map<unsigned, x11::TeclaXkb> cambios;
  for (const x11::Prestada& t : nota.teclas) {
    if (!t.keysym || !teclado.tiene(t.keycode)) continue;
    // Only a keycode still bound as the run bound it is repaired: a layout loaded since then
    // keeps what it set.
    const x11::TeclaXkb& m = teclado.tecla(t.keycode);
    if ((m.grupos & 0x0F) != 1 || m.ancho != 1 || m.tipos[0] != x11::TIPO_UN_NIVEL ||
        m.keysyms.size() != 1 || m.keysyms[0] != t.keysym)
      continue;
    cambios[t.keycode] = x11::sinLigar(t);
  }
  escribir(cambios);
  if (nota.mayusculasSueltas && !mayusculasFijas_) {
    bloquearMayusculas(true);
    mayusculasFijas_ = true;
  }
}

void EntradaX11::anotarPrestamo() {
  x11::Prestamo prestamo{mayusculasSueltas_, libres_};
  for (const auto& [keysym, keycode] : ligadas_)
    for (x11::Prestada& t : prestamo.teclas)
      if (t.keycode == keycode) t.keysym = keysym;
  const auto bytes = x11::anotar(prestamo);
  xcb_change_property(c_, XCB_PROP_MODE_REPLACE, conexion_.raiz(), nota_, XCB_ATOM_INTEGER, 8,
                      uint32_t(bytes.size()), bytes.data());
  anotado_ = true;
}

unsigned EntradaX11::keycodeEnGrupo(uint32_t keysym) {
  return x11::keycodeDe(teclado(), keysym, grupo_);
}

unsigned EntradaX11::ligada(uint32_t keysym) {
  auto it = ligadas_.find(keysym);
  if (it != ligadas_.end()) return it->second;
  ligar(keysym, posicion_);
  return ligadas_.at(keysym);
}

void EntradaX11::ligar(uint32_t necesaria, size_t desde) {
  teclado();
  if (enUso_ > 0) esperarAQueLeanElMapa();
  // A spare keycode that someone else redefines while this run has it (a layout loaded
  // meanwhile) is theirs from then on: it is left out, and the batch is bound again without it.
  while (true) {
    if (libres_.empty()) fallo("el teclado no tiene códigos de tecla libres con los que escribir");
    const auto lote = x11::siguienteLote(necesaria, secuencia_, desde, libres_.size());
    std::map<unsigned, x11::TeclaXkb> cambios;
    ligadas_.clear();
    for (size_t i = 0; i < lote.size(); ++i) {
      cambios[libres_[i].keycode] = x11::ligadaA(libres_[i], lote[i]);
      ligadas_[lote[i]] = libres_[i].keycode;
    }
    // Spare keycodes bound before and not now go back to nothing in the same request.
    for (size_t i = lote.size(); i < enUso_; ++i)
      cambios[libres_[i].keycode] = x11::sinLigar(libres_[i]);
    enUso_ = lote.size();
    anotarPrestamo();
    const auto ajenas = escribir(cambios);
    if (!ajenas) fallo("la pantalla X no aceptó el cambio de teclado");
    ligadoEn_ = std::chrono::steady_clock::now();
    for (unsigned keycode : *ajenas) {
      auto it = std::find_if(libres_.begin(), libres_.end(),
                             [&](const x11::Prestada& t) { return t.keycode == keycode; });
      if (size_t(it - libres_.begin()) < enUso_) --enUso_;
      libres_.erase(it);
      std::erase_if(ligadas_, [&](const auto& par) { return par.second == keycode; });
    }
    if (ligadas_.count(necesaria)) return;
  }
}

void EntradaX11::restaurar() {
  if (enUso_ == 0) return;
  esperarAQueLeanElMapa();
  std::map<unsigned, x11::TeclaXkb> cambios;
  for (size_t i = 0; i < enUso_; ++i) cambios[libres_[i].keycode] = x11::sinLigar(libres_[i]);
  enUso_ = 0;
  ligadas_.clear();
  escribir(cambios);
}

std::optional<std::vector<unsigned>> EntradaX11::escribir(
    const std::map<unsigned, x11::TeclaXkb>& cambios) {
  if (cambios.empty()) return std::vector<unsigned>{};
  const unsigned primera = cambios.begin()->first, ultima = cambios.rbegin()->first;
  const auto cuantas = uint8_t(ultima - primera + 1);
  // Under a grab nothing changes the keyboard between the read and the write.
  xcb_grab_server(c_);
  const auto cookieMapa = xcb_xkb_get_map(
      c_, TECLADO_PRINCIPAL, 0, XCB_XKB_MAP_PART_KEY_SYMS | XCB_XKB_MAP_PART_MODIFIER_MAP, 0, 0,
      xcb_keycode_t(primera), cuantas, 0, 0, 0, 0, 0, 0, 0, xcb_keycode_t(primera), cuantas, 0, 0);
  auto mapa = respuesta(xcb_xkb_get_map_reply(c_, cookieMapa, nullptr));
  std::optional<std::vector<unsigned>> ajenas;
  xcb_void_cookie_t cookie{};
  if (mapa) {
    x11::TecladoXkb actual = *teclado_;
    leerMapa(mapa.get(), actual);
    ajenas = x11::fundir(actual, *teclado_, cambios);
    const x11::BloqueXkb bloque = x11::bloqueDeTeclas(actual, primera, ultima);
    // Only keysyms change; the server works the keys' actions out again from them, as it does
    // for a layout.
    cookie = xcb_xkb_set_map_checked(c_, TECLADO_PRINCIPAL, XCB_XKB_MAP_PART_KEY_SYMS,
                                     XCB_XKB_SET_MAP_FLAGS_RECOMPUTE_ACTIONS,
                                     xcb_keycode_t(actual.minima), xcb_keycode_t(actual.maxima()),
                                     0, 0, xcb_keycode_t(primera), cuantas, bloque.keysyms, 0, 0, 0,
                                     0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, bloque.bytes.data());
    for (unsigned k = primera; k <= ultima; ++k) teclado_->tecla(k) = actual.tecla(k);
  }
  xcb_ungrab_server(c_);
  if (mapa && respuesta(xcb_request_check(c_, cookie))) ajenas.reset();
  xcb_flush(c_);
  conexion_.comprobarConexion();
  return ajenas;
}

void EntradaX11::bloquearMayusculas(bool fijas) {
  xcb_xkb_latch_lock_state(c_, TECLADO_PRINCIPAL, MASCARA_BLOQ_MAYUS,
                           fijas ? MASCARA_BLOQ_MAYUS : 0, 0, 0, 0, 0, 0);
}

void EntradaX11::esperarAQueLeanElMapa() {
  conexion_.confirmar();
  dormirHasta(ligadoEn_ + VIDA_MINIMA);
}

void EntradaX11::pulsar(unsigned keycode, bool abajo) {
  if (abajo && guardia_) guardia_->avisar(Aviso::TECLA, uint8_t(keycode));
  falsear(c_, abajo ? XCB_KEY_PRESS : XCB_KEY_RELEASE, uint8_t(keycode));
  auto it = std::find(pulsadas_.begin(), pulsadas_.end(), keycode);
  if (abajo && it == pulsadas_.end()) pulsadas_.push_back(keycode);
  if (!abajo && it != pulsadas_.end()) pulsadas_.erase(it);
}

void EntradaX11::pulsarBoton(uint8_t boton, bool abajo) {
  auto it = std::find(botones_.begin(), botones_.end(), boton);
  if (abajo) {
    retener();
    if (guardia_) guardia_->avisar(Aviso::BOTON, boton);
    if (it == botones_.end()) botones_.push_back(boton);
  } else if (it != botones_.end()) {
    botones_.erase(it);
  }
  falsear(c_, abajo ? XCB_BUTTON_PRESS : XCB_BUTTON_RELEASE, boton);
}

// A command stopped between a key's press and its release would leave the key held: the server
// would repeat it, and a held modifier would change every key the user presses.
void EntradaX11::soltarPulsadas() {
  while (!pulsadas_.empty()) {
    falsear(c_, XCB_KEY_RELEASE, uint8_t(pulsadas_.back()));
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
