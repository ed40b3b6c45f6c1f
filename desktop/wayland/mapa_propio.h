#pragma once
// The keymap a run gives its own virtual keyboard, so that what it types does not depend on the
// user's layouts. A key the US layout has keeps its place there (Return, the arrows, the letters,
// the modifiers): toolkits match shortcuts by the key's place as much as by its symbol, and
// under the user's layout the same place holds the same key. Every other keysym goes on a key
// the US layout leaves empty or gives a printable character, one level, so that no modifier
// changes it. Kept free of any connection so it can be tested alone.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tildo::wayland {

struct MapaPropio {
  // The keymap in XKB's text form, as the virtual keyboard takes it.
  std::string texto;
  // The XKB keycode (evdev's plus 8) each keysym is on.
  std::map<uint32_t, uint32_t> teclas;
};

// How many keysyms a map holds besides those of the US layout, at the least.
size_t capacidad();

// The map with the keysyms, distinct, in order, as many as fit; always the four modifier keys.
MapaPropio mapaPropio(const std::vector<uint32_t>& keysyms);

// The keycode of the modifier keysym (Shift_L, Control_L, Alt_L, Super_L) in every map.
uint32_t teclaDeModificador(uint32_t keysym);

}  // namespace tildo::wayland
