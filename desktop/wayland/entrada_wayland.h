#pragma once
// The input port on a wlroots compositor: a virtual pointer (zwlr_virtual_pointer_v1) moved
// absolutely over the output layout, and a virtual keyboard (zwp_virtual_keyboard_v1) that
// carries a keymap of the run's own (mapa_propio.h), so that any character arrives as given
// whatever layouts the user has. The user's own keyboard and its keymap are never touched: the
// virtual devices and their keymaps go with the connection. A key held by a run that dies is
// released by the compositor with its virtual keyboard; a button is not, so from its first press
// a run keeps a guardian that releases it if the run dies.

#include <optional>
#include <vector>

#include "desktop/entrada.h"
#include "desktop/linux/guardia.h"
#include "desktop/linux/interrupcion.h"
#include "desktop/wayland/conexion_wayland.h"
#include "desktop/wayland/mapa_propio.h"

struct zwlr_virtual_pointer_v1;
struct zwp_virtual_keyboard_v1;

namespace tildo {

class EntradaWayland : public Entrada {
 public:
  // The guardian's own input keeps no guardian.
  explicit EntradaWayland(ConexionWayland& conexion, bool conGuardia = true);
  // Releases what is held and waits until the compositor has handled every event.
  ~EntradaWayland() override;
  EntradaWayland(const EntradaWayland&) = delete;
  EntradaWayland& operator=(const EntradaWayland&) = delete;

  void raton(int tipo, Punto punto, int boton) override;
  void rueda(int32_t rueda1, int32_t rueda2) override;
  void tecla(uint16_t codigo, bool abajo, std::optional<uint64_t> banderas,
             const std::u16string& texto) override;
  void pausa(uint32_t microsegundos) override;
  void prepararTexto(const std::vector<std::u16string>& caracteres) override;
  void terminarTexto() override;

  // In the guardian of a run that died: releases the buttons it held, from a virtual pointer of
  // its own.
  static void deshacer(const Retenido& retenido);

 private:
  zwlr_virtual_pointer_v1* puntero();
  zwp_virtual_keyboard_v1* teclado();
  // The keycode the keysym is on, giving the keyboard a new map when the present one lacks it.
  uint32_t tecla(uint32_t keysym);
  void cargarMapa(const std::vector<uint32_t>& keysyms);
  void pulsar(uint32_t keycode, bool abajo);
  uint32_t ahora() const;

  ConexionWayland& conexion_;
  zwlr_virtual_pointer_v1* puntero_ = nullptr;
  zwp_virtual_keyboard_v1* teclado_ = nullptr;
  // The output layout's bounding box and the main output's place in it.
  Rect caja_;
  Punto origen_;
  std::optional<Punto> ultimo_;  // the last point posted, in the layout
  // Caught while keys or buttons may be held: the signals end the command through its failure
  // path, and what is held is released on the way out.
  std::optional<Interrupcion> interrupcion_;
  const bool conGuardia_;
  std::optional<Guardia> guardia_;
  std::vector<uint32_t> botones_;  // buttons held down
  std::optional<wayland::MapaPropio> mapa_;
  std::vector<uint32_t> pulsadas_;  // keycodes held down, in the order pressed
  // The keysyms of the text being typed, in order, and how far typing has gone.
  std::vector<uint32_t> secuencia_;
  size_t posicion_ = 0;
};

// Where the last pointer event a run posted on this compositor left the pointer, in the layout;
// wlroots tells no client where the pointer is.
std::optional<Punto> ultimoPunteroPublicado();

}  // namespace tildo
