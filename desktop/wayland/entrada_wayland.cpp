#include "desktop/wayland/entrada_wayland.h"

#include <linux/input-event-codes.h>
#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "common/archivos.h"
#include "common/fallo.h"
#include "desktop/teclear.h"
#include "desktop/x11/teclas_x11.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace tildo {
namespace {

// One wheel click scrolls as much as a mouse's does in libinput: 15 units of the axis.
constexpr double UNIDADES_POR_CLIC = 15;

// XKB's real modifiers come first in every keymap, in X's order: Shift, Lock, Control, Mod1 to
// Mod5.
uint32_t mascaraDe(uint64_t banderas) {
  uint32_t mascara = 0;
  if (banderas & bandera::MAYUSCULAS) mascara |= 1u << 0;
  if (banderas & bandera::CONTROL) mascara |= 1u << 2;
  if (banderas & bandera::OPCION) mascara |= 1u << 3;
  if (banderas & bandera::COMANDO) mascara |= 1u << 6;
  return mascara;
}

uint32_t botonDe(int tipo, int boton) {
  if (tipo == tipo::IZQUIERDO_ABAJO || tipo == tipo::IZQUIERDO_ARRIBA ||
      tipo == tipo::IZQUIERDO_ARRASTRADO)
    return BTN_LEFT;
  if (tipo == tipo::DERECHO_ABAJO || tipo == tipo::DERECHO_ARRIBA) return BTN_RIGHT;
  return boton == boton::DERECHO ? BTN_RIGHT : BTN_MIDDLE;
}

// The file that keeps the last point posted, one per compositor, in the user's runtime folder.
std::optional<std::string> archivoDelPuntero() {
  const char* carpeta = std::getenv("XDG_RUNTIME_DIR");
  const char* pantalla = std::getenv("WAYLAND_DISPLAY");
  if (!carpeta || !*carpeta || !pantalla || !*pantalla) return std::nullopt;
  std::string nombre = pantalla;
  std::replace(nombre.begin(), nombre.end(), '/', '_');
  return std::string(carpeta) + "/tildo-puntero-" + nombre;
}

// A file only the kernel holds, with the keymap's text and its final zero, as the protocol
// passes keymaps.
int archivoDeMapa(const std::string& texto) {
  const int fd = memfd_create("tildo-teclado", MFD_CLOEXEC);
  if (fd < 0) fallo("no pude preparar el mapa de teclado para el compositor");
  const size_t largo = texto.size() + 1;
  if (write(fd, texto.c_str(), largo) != static_cast<ssize_t>(largo)) {
    close(fd);
    fallo("no pude preparar el mapa de teclado para el compositor");
  }
  return fd;
}

}  // namespace

std::optional<Punto> ultimoPunteroPublicado() {
  const auto ruta = archivoDelPuntero();
  const auto texto = ruta ? leerArchivo(*ruta, 64) : std::nullopt;
  Punto p;
  if (!texto || std::sscanf(texto->c_str(), "%lf %lf", &p.x, &p.y) != 2) return std::nullopt;
  return p;
}

EntradaWayland::EntradaWayland(ConexionWayland& conexion, bool conGuardia)
    : conexion_(conexion), conGuardia_(conGuardia) {}

EntradaWayland::~EntradaWayland() {
  for (uint32_t b : botones_)
    zwlr_virtual_pointer_v1_button(puntero_, ahora(), b, WL_POINTER_BUTTON_STATE_RELEASED);
  if (!botones_.empty()) zwlr_virtual_pointer_v1_frame(puntero_);
  for (auto k = pulsadas_.rbegin(); k != pulsadas_.rend(); ++k)
    zwp_virtual_keyboard_v1_key(teclado_, ahora(), *k - 8, WL_KEYBOARD_KEY_STATE_RELEASED);
  // The compositor has the events once it answers; only then may the devices go.
  try {
    conexion_.confirmar();
  } catch (const Fallo&) {
    return;
  }
  // Only now that the compositor has the releases: a client that hangs up loses what the
  // compositor has not read yet.
  guardia_.reset();
  if (ultimo_)
    if (const auto ruta = archivoDelPuntero())
      escribirAtomico(*ruta, std::to_string(ultimo_->x) + " " + std::to_string(ultimo_->y));
  if (puntero_) zwlr_virtual_pointer_v1_destroy(puntero_);
  if (teclado_) zwp_virtual_keyboard_v1_destroy(teclado_);
  conexion_.enviar();
}

void EntradaWayland::deshacer(const Retenido& retenido) {
  const auto conexion = ConexionWayland::conectar();
  if (!conexion || !conexion->admiteEntrada()) return;
  EntradaWayland entrada(*conexion, false);
  entrada.puntero();
  // Told counted from the left button, which the one byte of the guardian's word holds.
  for (uint8_t b : retenido.botones) entrada.botones_.push_back(BTN_LEFT + b);
}

uint32_t EntradaWayland::ahora() const {
  // The monotonic clock, as the kernel stamps the events of real devices.
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(
                                   std::chrono::steady_clock::now().time_since_epoch())
                                   .count());
}

zwlr_virtual_pointer_v1* EntradaWayland::puntero() {
  if (puntero_) return puntero_;
  const auto& salidas = conexion_.salidas();
  const Salida& principal = salidaPrincipal(salidas);
  caja_ = cajaDe(salidas);
  origen_ = {principal.logico.x, principal.logico.y};
  puntero_ = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(conexion_.punteros(),
                                                                    conexion_.asiento());
  return puntero_;
}

// Points are measured from the main output's top-left corner; the absolute motion spans the
// layout's bounding box, in whole pixels, and the compositor stops the pointer at its edge.
void EntradaWayland::raton(int tipo, Punto punto, int boton) {
  zwlr_virtual_pointer_v1* p = puntero();
  const double x = std::clamp(std::round(origen_.x + punto.x - caja_.x), 0.0, caja_.ancho);
  const double y = std::clamp(std::round(origen_.y + punto.y - caja_.y), 0.0, caja_.alto);
  const uint32_t t = ahora();
  zwlr_virtual_pointer_v1_motion_absolute(p, t, uint32_t(x), uint32_t(y), uint32_t(caja_.ancho),
                                          uint32_t(caja_.alto));
  ultimo_ = Punto{x + caja_.x, y + caja_.y};
  const uint32_t b = botonDe(tipo, boton);
  switch (tipo) {
    case tipo::IZQUIERDO_ABAJO:
    case tipo::DERECHO_ABAJO:
    case tipo::OTRO_ABAJO:
      if (!interrupcion_) interrupcion_.emplace();
      if (conGuardia_ && !guardia_) guardia_.emplace(&EntradaWayland::deshacer);
      if (guardia_) guardia_->avisar(Aviso::BOTON, uint8_t(b - BTN_LEFT));
      if (std::find(botones_.begin(), botones_.end(), b) == botones_.end()) botones_.push_back(b);
      zwlr_virtual_pointer_v1_button(p, t, b, WL_POINTER_BUTTON_STATE_PRESSED);
      break;
    case tipo::IZQUIERDO_ARRIBA:
    case tipo::DERECHO_ARRIBA:
    case tipo::OTRO_ARRIBA:
      std::erase(botones_, b);
      zwlr_virtual_pointer_v1_button(p, t, b, WL_POINTER_BUTTON_STATE_RELEASED);
      break;
  }
  zwlr_virtual_pointer_v1_frame(p);
}

// The same clicks as on X: one per 50 pixels, a partial one counting whole. Positive wheel 1
// scrolls up and positive wheel 2 left, which are negative on Wayland's axes.
void EntradaWayland::rueda(int32_t rueda1, int32_t rueda2) {
  zwlr_virtual_pointer_v1* p = puntero();
  const auto clics = [&](int32_t pixeles, uint32_t eje) {
    const int32_t paso = pixeles > 0 ? -1 : 1;
    for (uint32_t i = x11::clicsDeRueda(pixeles); i > 0; --i) {
      zwlr_virtual_pointer_v1_axis_source(p, WL_POINTER_AXIS_SOURCE_WHEEL);
      zwlr_virtual_pointer_v1_axis_discrete(p, ahora(), eje,
                                            wl_fixed_from_double(paso * UNIDADES_POR_CLIC), paso);
      zwlr_virtual_pointer_v1_frame(p);
    }
  };
  clics(rueda1, WL_POINTER_AXIS_VERTICAL_SCROLL);
  clics(rueda2, WL_POINTER_AXIS_HORIZONTAL_SCROLL);
}

zwp_virtual_keyboard_v1* EntradaWayland::teclado() {
  if (!teclado_) {
    teclado_ = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(conexion_.teclados(),
                                                                       conexion_.asiento());
    interrupcion_.emplace();
  }
  return teclado_;
}

void EntradaWayland::cargarMapa(const std::vector<uint32_t>& keysyms) {
  zwp_virtual_keyboard_v1* t = teclado();
  mapa_ = wayland::mapaPropio(keysyms);
  const int fd = archivoDeMapa(mapa_->texto);
  zwp_virtual_keyboard_v1_keymap(t, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd,
                                 uint32_t(mapa_->texto.size() + 1));
  // The descriptor travels with the request: it may be closed once the request is sent.
  conexion_.enviar();
  close(fd);
}

uint32_t EntradaWayland::tecla(uint32_t keysym) {
  if (mapa_) {
    auto it = mapa_->teclas.find(keysym);
    if (it != mapa_->teclas.end()) return it->second;
  }
  cargarMapa(x11::siguienteLote(keysym, secuencia_, posicion_, wayland::capacidad()));
  return mapa_->teclas.at(keysym);
}

void EntradaWayland::pulsar(uint32_t keycode, bool abajo) {
  zwp_virtual_keyboard_v1_key(
      teclado(), ahora(), keycode - 8,
      abajo ? WL_KEYBOARD_KEY_STATE_PRESSED : WL_KEYBOARD_KEY_STATE_RELEASED);
  if (abajo)
    pulsadas_.push_back(keycode);
  else
    std::erase(pulsadas_, keycode);
}

void EntradaWayland::tecla(uint16_t codigo, bool abajo, std::optional<uint64_t> banderas,
                           const std::u16string& texto) {
  if (!texto.empty()) {
    teclearCaracter(
        texto, abajo, secuencia_, posicion_, [this](uint32_t k) { return tecla(k); },
        [this](uint32_t k) -> std::optional<uint32_t> {
          if (!mapa_ || !mapa_->teclas.count(k)) return std::nullopt;
          return mapa_->teclas.at(k);
        },
        [this](uint32_t keycode, bool abajo) { pulsar(keycode, abajo); });
    return;
  }
  const uint32_t keysym = x11::keysymDeTecla(codigo);
  if (!keysym) return;
  const uint32_t keycode = tecla(keysym);
  // Flags become presses of the modifier keys around the key, released in reverse order.
  std::vector<uint32_t> mods;
  const uint64_t b = banderas.value_or(0);
  if (b & bandera::CONTROL) mods.push_back(wayland::teclaDeModificador(XKB_KEY_Control_L));
  if (b & bandera::MAYUSCULAS) mods.push_back(wayland::teclaDeModificador(XKB_KEY_Shift_L));
  if (b & bandera::OPCION) mods.push_back(wayland::teclaDeModificador(XKB_KEY_Alt_L));
  if (b & bandera::COMANDO) mods.push_back(wayland::teclaDeModificador(XKB_KEY_Super_L));
  // The compositor takes the modifier state a virtual keyboard says, not what its keys imply.
  if (abajo) {
    for (uint32_t m : mods) pulsar(m, true);
    if (!mods.empty()) zwp_virtual_keyboard_v1_modifiers(teclado(), mascaraDe(b), 0, 0, 0);
    pulsar(keycode, true);
  } else {
    pulsar(keycode, false);
    for (auto m = mods.rbegin(); m != mods.rend(); ++m) pulsar(*m, false);
    if (!mods.empty()) zwp_virtual_keyboard_v1_modifiers(teclado(), 0, 0, 0, 0);
  }
}

void EntradaWayland::pausa(uint32_t microsegundos) {
  conexion_.enviar();
  const auto fin = std::chrono::steady_clock::now() + std::chrono::microseconds(microsegundos);
  if (interrupcion_)
    interrupcion_->dormirHasta(fin);
  else
    dormirHasta(fin);
}

void EntradaWayland::prepararTexto(const std::vector<std::u16string>& caracteres) {
  secuencia_ = x11::keysymsDeTexto(caracteres);
  posicion_ = 0;
  if (!secuencia_.empty())
    cargarMapa(x11::siguienteLote(secuencia_[0], secuencia_, 0, wayland::capacidad()));
}

void EntradaWayland::terminarTexto() {
  secuencia_.clear();
  posicion_ = 0;
}

}  // namespace tildo
