#pragma once
// The one connection to the Wayland compositor a run uses, with the globals the backend binds:
// the seat, the outputs with their logical place (xdg-output), the virtual pointer and keyboard
// managers of the wlroots family and, where offered, the foreign-toplevel manager. Nothing
// libwayland says reaches standard error.

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop/pantallas.h"

struct wl_display;
struct wl_interface;
struct wl_registry;
struct wl_registry_listener;
struct wl_seat;
struct wl_output;
struct zxdg_output_manager_v1;
struct zxdg_output_v1;
struct zwlr_virtual_pointer_manager_v1;
struct zwp_virtual_keyboard_manager_v1;

namespace tildo {

// One output as the compositor describes it: its name, its logical place and size in the
// layout (what the pointer and windows are measured in), its current mode in pixels and its
// scale.
struct Salida {
  std::string nombre;
  Rect logico;
  int32_t pixelesAncho = 0;
  int32_t pixelesAlto = 0;
  int32_t escala = 1;
};

// The main output: the one at the origin of the layout, else the first announced. Fails the
// command when there is no output.
const Salida& salidaPrincipal(const std::vector<Salida>& salidas);
// The smallest rectangle of the layout that holds every output.
Rect cajaDe(const std::vector<Salida>& salidas);

class ConexionWayland {
 public:
  // Connects to the compositor WAYLAND_DISPLAY names and reads its globals; nothing when there
  // is no compositor there.
  static std::unique_ptr<ConexionWayland> conectar();
  ~ConexionWayland();
  ConexionWayland(const ConexionWayland&) = delete;
  ConexionWayland& operator=(const ConexionWayland&) = delete;

  // Whether the compositor lets a client post pointer and keyboard input.
  bool admiteEntrada() const { return punteros_ && teclados_ && asiento_; }
  bool admiteCaptura() const { return captura_; }

  wl_display* pantalla() const { return d_; }
  wl_seat* asiento() const { return asiento_; }
  zwlr_virtual_pointer_manager_v1* punteros() const { return punteros_; }
  zwp_virtual_keyboard_manager_v1* teclados() const { return teclados_; }

  // Binds a global the compositor announced and the connection did not bind at once, at the
  // highest version both know; null when it announced none. The caller destroys it.
  void* ligar(const wl_interface& interfaz, uint32_t maxima);

  // The outputs, read on first use, in the order the compositor announced them.
  const std::vector<Salida>& salidas();
  // Waits until the compositor has handled every request sent; fails the command when the
  // connection is gone.
  void confirmar();
  // Sends what is queued without waiting.
  void enviar();

 private:
  explicit ConexionWayland(wl_display* d);

  struct Anuncio;
  static void global(void* datos, wl_registry*, uint32_t nombre, const char* interfaz,
                     uint32_t version);
  static void globalQuitado(void*, wl_registry*, uint32_t) {}
  static const wl_registry_listener OYENTE_REGISTRO;

  wl_display* d_;
  wl_registry* registro_ = nullptr;
  wl_seat* asiento_ = nullptr;
  zwlr_virtual_pointer_manager_v1* punteros_ = nullptr;
  zwp_virtual_keyboard_manager_v1* teclados_ = nullptr;
  zxdg_output_manager_v1* salidasXdg_ = nullptr;
  bool captura_ = false;
  // The other globals: name and version by interface.
  std::map<std::string, std::pair<uint32_t, uint32_t>, std::less<>> otros_;
  // The outputs as announced, with what each has said of itself so far.
  std::vector<std::unique_ptr<Anuncio>> anuncios_;
  std::optional<std::vector<Salida>> salidas_;
};

}  // namespace tildo
