// The user's own keyboard and mouse in a headless Wayland session, which has no input devices:
// a virtual keyboard with the layout the session's configuration gives keyboards (its first
// argument, as sway's xkb_layout takes it: "de", "ru,us") and a virtual pointer, both kept
// until the program is ended. Clients bind their keyboard and pointer once a seat has them, as
// they would at the start of a real session; the input tildo-ax posts then reaches clients that
// are ready for it. Prints "listo" once the compositor has both devices.

#include <sys/mman.h>
#include <unistd.h>
#include <wayland-client.h>
#include <xkbcommon/xkbcommon.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "virtual-keyboard-unstable-v1-client-protocol.h"
#include "wlr-virtual-pointer-unstable-v1-client-protocol.h"

namespace {

wl_seat* asiento = nullptr;
zwp_virtual_keyboard_manager_v1* teclados = nullptr;
zwlr_virtual_pointer_manager_v1* punteros = nullptr;

void global(void*, wl_registry* r, uint32_t nombre, const char* interfaz, uint32_t) {
  if (!std::strcmp(interfaz, wl_seat_interface.name) && !asiento)
    asiento = static_cast<wl_seat*>(wl_registry_bind(r, nombre, &wl_seat_interface, 1));
  if (!std::strcmp(interfaz, zwp_virtual_keyboard_manager_v1_interface.name))
    teclados = static_cast<zwp_virtual_keyboard_manager_v1*>(
        wl_registry_bind(r, nombre, &zwp_virtual_keyboard_manager_v1_interface, 1));
  if (!std::strcmp(interfaz, zwlr_virtual_pointer_manager_v1_interface.name))
    punteros = static_cast<zwlr_virtual_pointer_manager_v1*>(
        wl_registry_bind(r, nombre, &zwlr_virtual_pointer_manager_v1_interface, 1));
}

void quitado(void*, wl_registry*, uint32_t) {}

const wl_registry_listener OYENTE = {global, quitado};

}  // namespace

int main(int argc, char** argv) {
  wl_display* d = wl_display_connect(nullptr);
  if (!d) return 1;
  wl_registry_add_listener(wl_display_get_registry(d), &OYENTE, nullptr);
  wl_display_roundtrip(d);
  if (!asiento || !teclados || !punteros) return 1;

  xkb_context* contexto = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
  const xkb_rule_names nombres{nullptr, nullptr, argc > 1 ? argv[1] : "us", nullptr, nullptr};
  xkb_keymap* mapa = xkb_keymap_new_from_names(contexto, &nombres, XKB_KEYMAP_COMPILE_NO_FLAGS);
  if (!mapa) return 1;
  char* texto = xkb_keymap_get_as_string(mapa, XKB_KEYMAP_FORMAT_TEXT_V1);
  const size_t largo = std::strlen(texto) + 1;
  const int fd = memfd_create("teclado-del-usuario", MFD_CLOEXEC);
  if (fd < 0 || write(fd, texto, largo) != static_cast<ssize_t>(largo)) return 1;

  auto* teclado = zwp_virtual_keyboard_manager_v1_create_virtual_keyboard(teclados, asiento);
  zwp_virtual_keyboard_v1_keymap(teclado, WL_KEYBOARD_KEYMAP_FORMAT_XKB_V1, fd, uint32_t(largo));
  auto* puntero = zwlr_virtual_pointer_manager_v1_create_virtual_pointer(punteros, asiento);
  zwlr_virtual_pointer_v1_frame(puntero);
  if (wl_display_roundtrip(d) < 0) return 1;
  std::puts("listo");
  std::fflush(stdout);
  while (wl_display_dispatch(d) >= 0) {
  }
  return 0;
}
