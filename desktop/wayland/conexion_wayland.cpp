#include "desktop/wayland/conexion_wayland.h"

#include <wayland-client.h>

#include <algorithm>
#include <cstdarg>
#include <cstring>

#include "common/fallo.h"
#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"
#include "xdg-output-unstable-v1-client-protocol.h"

namespace tildo {

struct ConexionWayland::Anuncio {
  wl_output* salida = nullptr;
  zxdg_output_v1* xdg = nullptr;
  Salida datos;
};

namespace {

void callar(const char*, va_list) {}

void geometria(void*, wl_output*, int32_t, int32_t, int32_t, int32_t, int32_t, const char*,
               const char*, int32_t) {}

void modo(void* datos, wl_output*, uint32_t banderas, int32_t ancho, int32_t alto, int32_t) {
  if (!(banderas & WL_OUTPUT_MODE_CURRENT)) return;
  auto* s = static_cast<Salida*>(datos);
  s->pixelesAncho = ancho;
  s->pixelesAlto = alto;
}

void hecho(void*, wl_output*) {}

void escala(void* datos, wl_output*, int32_t factor) {
  static_cast<Salida*>(datos)->escala = factor;
}

void nombreSalida(void* datos, wl_output*, const char* nombre) {
  static_cast<Salida*>(datos)->nombre = nombre;
}

void descripcion(void*, wl_output*, const char*) {}

const wl_output_listener OYENTE_SALIDA = {geometria, modo,         hecho,
                                          escala,    nombreSalida, descripcion};

void posicionLogica(void* datos, zxdg_output_v1*, int32_t x, int32_t y) {
  auto* s = static_cast<Salida*>(datos);
  s->logico.x = x;
  s->logico.y = y;
}

void medidasLogicas(void* datos, zxdg_output_v1*, int32_t ancho, int32_t alto) {
  auto* s = static_cast<Salida*>(datos);
  s->logico.ancho = ancho;
  s->logico.alto = alto;
}

void hechoXdg(void*, zxdg_output_v1*) {}

void nombreXdg(void* datos, zxdg_output_v1*, const char* nombre) {
  static_cast<Salida*>(datos)->nombre = nombre;
}

void descripcionXdg(void*, zxdg_output_v1*, const char*) {}

const zxdg_output_v1_listener OYENTE_XDG = {posicionLogica, medidasLogicas, hechoXdg, nombreXdg,
                                            descripcionXdg};

}  // namespace

const wl_registry_listener ConexionWayland::OYENTE_REGISTRO = {ConexionWayland::global,
                                                               ConexionWayland::globalQuitado};

const Salida& salidaPrincipal(const std::vector<Salida>& salidas) {
  if (salidas.empty()) fallo("el compositor Wayland no tiene ninguna pantalla");
  for (const Salida& s : salidas)
    if (s.logico.x == 0 && s.logico.y == 0) return s;
  return salidas.front();
}

Rect cajaDe(const std::vector<Salida>& salidas) {
  if (salidas.empty()) return {};
  double x1 = salidas[0].logico.x, y1 = salidas[0].logico.y;
  double x2 = x1 + salidas[0].logico.ancho, y2 = y1 + salidas[0].logico.alto;
  for (const Salida& s : salidas) {
    x1 = std::min(x1, s.logico.x);
    y1 = std::min(y1, s.logico.y);
    x2 = std::max(x2, s.logico.x + s.logico.ancho);
    y2 = std::max(y2, s.logico.y + s.logico.alto);
  }
  return {x1, y1, x2 - x1, y2 - y1};
}

std::unique_ptr<ConexionWayland> ConexionWayland::conectar() {
  wl_log_set_handler_client(callar);
  wl_display* d = wl_display_connect(nullptr);
  if (!d) return nullptr;
  std::unique_ptr<ConexionWayland> c(new ConexionWayland(d));
  c->registro_ = wl_display_get_registry(d);
  wl_registry_add_listener(c->registro_, &OYENTE_REGISTRO, c.get());
  if (wl_display_roundtrip(d) < 0) return nullptr;
  return c;
}

ConexionWayland::ConexionWayland(wl_display* d) : d_(d) {}

ConexionWayland::~ConexionWayland() {
  for (auto& a : anuncios_) {
    if (a->xdg) zxdg_output_v1_destroy(a->xdg);
    wl_output_destroy(a->salida);
  }
  if (salidasXdg_) zxdg_output_manager_v1_destroy(salidasXdg_);
  if (punteros_) zwlr_virtual_pointer_manager_v1_destroy(punteros_);
  if (teclados_) zwp_virtual_keyboard_manager_v1_destroy(teclados_);
  if (asiento_) wl_seat_destroy(asiento_);
  if (registro_) wl_registry_destroy(registro_);
  wl_display_disconnect(d_);
}

void ConexionWayland::global(void* datos, wl_registry* r, uint32_t nombre, const char* interfaz,
                             uint32_t version) {
  auto* c = static_cast<ConexionWayland*>(datos);
  const auto es = [&](const wl_interface& i) { return std::strcmp(interfaz, i.name) == 0; };
  const auto ligar = [&](const wl_interface& i, uint32_t maxima) {
    return wl_registry_bind(r, nombre, &i, std::min(version, maxima));
  };
  // The first seat is the one the user works at.
  if (es(wl_seat_interface) && !c->asiento_) {
    c->asiento_ = static_cast<wl_seat*>(ligar(wl_seat_interface, 1));
  } else if (es(wl_output_interface) && version >= 2) {
    auto a = std::make_unique<Anuncio>();
    a->salida = static_cast<wl_output*>(ligar(wl_output_interface, 4));
    wl_output_add_listener(a->salida, &OYENTE_SALIDA, &a->datos);
    c->anuncios_.push_back(std::move(a));
  } else if (es(zxdg_output_manager_v1_interface) && version >= 2) {
    c->salidasXdg_ =
        static_cast<zxdg_output_manager_v1*>(ligar(zxdg_output_manager_v1_interface, 3));
  } else if (es(zwlr_virtual_pointer_manager_v1_interface)) {
    c->punteros_ = static_cast<zwlr_virtual_pointer_manager_v1*>(
        ligar(zwlr_virtual_pointer_manager_v1_interface, 1));
  } else if (es(zwp_virtual_keyboard_manager_v1_interface)) {
    c->teclados_ = static_cast<zwp_virtual_keyboard_manager_v1*>(
        ligar(zwp_virtual_keyboard_manager_v1_interface, 1));
  } else {
    if (std::strcmp(interfaz, "zwlr_screencopy_manager_v1") == 0) c->captura_ = true;
    c->otros_.try_emplace(interfaz, nombre, version);
  }
}

void* ConexionWayland::ligar(const wl_interface& interfaz, uint32_t maxima) {
  const auto it = otros_.find(interfaz.name);
  if (it == otros_.end()) return nullptr;
  const auto [nombre, version] = it->second;
  return wl_registry_bind(registro_, nombre, &interfaz, std::min(version, maxima));
}

const std::vector<Salida>& ConexionWayland::salidas() {
  if (salidas_) return *salidas_;
  // The outputs' own events arrive with the next answer; their logical place with the one after
  // the xdg-output objects are asked for.
  if (salidasXdg_)
    for (auto& a : anuncios_) {
      a->xdg = zxdg_output_manager_v1_get_xdg_output(salidasXdg_, a->salida);
      zxdg_output_v1_add_listener(a->xdg, &OYENTE_XDG, &a->datos);
    }
  confirmar();
  salidas_.emplace();
  for (auto& a : anuncios_) {
    Salida s = a->datos;
    // Without xdg-output the logical size is the mode over the scale, and the outputs are laid
    // side by side as compositors do by default.
    if (!a->xdg && s.escala > 0) {
      s.logico.ancho = double(s.pixelesAncho) / s.escala;
      s.logico.alto = double(s.pixelesAlto) / s.escala;
      s.logico.x =
          salidas_->empty() ? 0 : salidas_->back().logico.x + salidas_->back().logico.ancho;
    }
    if (s.logico.ancho > 0 && s.logico.alto > 0) salidas_->push_back(s);
  }
  return *salidas_;
}

void ConexionWayland::confirmar() {
  if (wl_display_roundtrip(d_) < 0)
    fallo("se cortó la conexión con el compositor Wayland (WAYLAND_DISPLAY)");
}

void ConexionWayland::enviar() {
  wl_display_flush(d_);
}

}  // namespace tildo
