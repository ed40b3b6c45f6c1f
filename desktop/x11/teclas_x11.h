#pragma once
// The rules that turn the input port's events into X terms, kept free of any connection so
// they can be tested alone: virtual key codes to keysyms, typed characters to keysyms, pixel
// scrolls to wheel clicks, which keysyms to bind to the spare keycodes next, the keyboard as XKB
// describes it and the request that rebinds a block of it, and the note of lent keycodes left on
// the display while typing.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tildo::x11 {

// The keysym of a virtual key code of the key table; 0 for a code the table does not hold.
uint32_t keysymDeTecla(uint16_t codigo);

// The keysyms that type one character, in order, one per code point: Latin-1 keysyms are the
// code point itself, every other code point is 0x01000000 + code point. A carriage return, and
// a carriage return with its line feed, is one Return. Other control characters type nothing.
std::vector<uint32_t> keysymsDeCaracter(const std::u16string& caracter);
// The keysyms of a whole text, character after character.
std::vector<uint32_t> keysymsDeTexto(const std::vector<std::u16string>& caracteres);

// Wheel clicks for a pixel amount: one per PIXELES_POR_CLIC, a partial one counting as a whole
// (any amount but 0 scrolls), at most CLICS_MAXIMOS.
constexpr int64_t PIXELES_POR_CLIC = 50;
constexpr uint32_t CLICS_MAXIMOS = 100;
uint32_t clicsDeRueda(int32_t pixeles);

// The keysyms to bind next when `necesaria` is not bound: it first, then the distinct keysyms
// of `secuencia` from `desde` on, in order of appearance, up to `capacidad` in all.
std::vector<uint32_t> siguienteLote(uint32_t necesaria, const std::vector<uint32_t>& secuencia,
                                    size_t desde, size_t capacidad);

// One keycode as XKB describes it: the key type of each group, the group information (number of
// groups, and where an active group beyond them leads), the width of a group in levels, the
// keysyms group by group, and the modifiers bound to it.
struct TeclaXkb {
  unsigned char tipos[4] = {};
  unsigned char grupos = 0;
  unsigned char ancho = 0;
  std::vector<uint32_t> keysyms;
  unsigned char modificadores = 0;
};

// The keyboard: its keycodes from `minima` on, and for each key type the level it gives when no
// modifier is held.
struct TecladoXkb {
  unsigned minima = 8;
  std::vector<TeclaXkb> teclas;
  std::vector<unsigned> nivelSinModificadores;

  unsigned maxima() const { return minima + unsigned(teclas.size()) - 1; }
  bool tiene(unsigned keycode) const { return keycode >= minima && keycode <= maxima(); }
  TeclaXkb& tecla(unsigned keycode) { return teclas[keycode - minima]; }
  const TeclaXkb& tecla(unsigned keycode) const { return teclas[keycode - minima]; }
};

// The key type XkbOneLevel, the first of every keyboard: one level whatever is held.
constexpr unsigned char TIPO_UN_NIVEL = 0;

// A keycode with no keysyms and no modifier: free for typing.
bool libre(const TeclaXkb& tecla);

// The keysym a keycode gives with no modifier held in the group (0-based), with a group beyond
// the key's own taken back into range as the key says; 0 for none.
uint32_t keysymSinModificadores(const TecladoXkb& teclado, unsigned keycode, unsigned grupo);
// The lowest keycode that gives the keysym with no modifier held in the group; 0 for none.
unsigned keycodeDe(const TecladoXkb& teclado, uint32_t keysym, unsigned grupo);

// The keycodes from the first to the last as XKB's SetMap request carries them (each key's types,
// group information, width, number of keysyms, then the keysyms), and how many keysyms that is.
struct BloqueXkb {
  std::vector<uint8_t> bytes;
  uint16_t keysyms = 0;
};
BloqueXkb bloqueDeTeclas(const TecladoXkb& teclado, unsigned primera, unsigned ultima);

// A spare keycode lent for typing: its entry as the server had it (key types of the four groups,
// group information, width) and the keysym bound to it now, 0 when none is.
struct Prestada {
  unsigned keycode = 0;
  unsigned char tipos[4] = {};
  unsigned char grupos = 0;
  unsigned char ancho = 0;
  uint32_t keysym = 0;
};

// The spare keycode's entry as the server had it (no keysyms), and bound to the keysym alone: one
// group of one level, so that no modifier changes it.
TeclaXkb sinLigar(const Prestada& tecla);
TeclaXkb ligadaA(const Prestada& tecla, uint32_t keysym);

// Puts the changes a run makes to keycodes into `actual`, the server's keyboard as read just now:
// each goes in only where the keycode holds what `conocido` (the keyboard as the run last wrote
// or read it) says, or is free; a keycode someone else has redefined since (a layout loaded
// meanwhile) keeps its entry, and is given back. Every keycode not changed keeps the server's.
std::vector<unsigned> fundir(TecladoXkb& actual, const TecladoXkb& conocido,
                             const std::map<unsigned, TeclaXkb>& cambios);

// What a typing run has changed on the keyboard, written on the root window before each change
// so that the next run can undo it if this one is killed: the lent keycodes and whether Caps
// Lock was unlocked.
struct Prestamo {
  bool mayusculasSueltas = false;
  std::vector<Prestada> teclas;
};

// The note as the bytes of a property of 8-bit items, and back; nothing when the bytes are not
// such a note (another program's property, an older layout).
std::vector<unsigned char> anotar(const Prestamo& prestamo);
std::optional<Prestamo> leerNota(const std::vector<unsigned char>& bytes);

}  // namespace tildo::x11
