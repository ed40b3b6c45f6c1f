#include "desktop/wayland/mapa_propio.h"

#include <xkbcommon/xkbcommon.h>

#include <set>

namespace tildo::wayland {
namespace {

// Keycodes stay below 256, which clients of X (through XWayland) cannot go past.
constexpr uint32_t PRIMERA = 9;
constexpr uint32_t ULTIMA = 255;

constexpr uint32_t MODIFICADORES[] = {XKB_KEY_Shift_L, XKB_KEY_Control_L, XKB_KEY_Alt_L,
                                      XKB_KEY_Super_L};

// The US layout on a standard keyboard: where each of its keysyms is with no modifier held,
// and the keys free for others (empty, or typing a printable character), empty ones first.
struct Referencia {
  std::map<uint32_t, uint32_t> lugares;
  std::vector<uint32_t> libres;

  Referencia() {
    xkb_context* contexto = xkb_context_new(XKB_CONTEXT_NO_FLAGS);
    const xkb_rule_names nombres{"evdev", "pc105", "us", nullptr, nullptr};
    xkb_keymap* mapa =
        contexto ? xkb_keymap_new_from_names(contexto, &nombres, XKB_KEYMAP_COMPILE_NO_FLAGS)
                 : nullptr;
    std::vector<uint32_t> imprimibles;
    for (uint32_t k = PRIMERA; k <= ULTIMA; ++k) {
      const xkb_keysym_t* syms = nullptr;
      const int n = mapa ? xkb_keymap_key_get_syms_by_level(mapa, k, 0, 0, &syms) : 0;
      if (n <= 0) {
        libres.push_back(k);
        continue;
      }
      lugares.emplace(syms[0], k);
      const uint32_t c = xkb_keysym_to_utf32(syms[0]);
      if (c >= 0x20 && c != 0x7F) imprimibles.push_back(k);
    }
    libres.insert(libres.end(), imprimibles.begin(), imprimibles.end());
    xkb_keymap_unref(mapa);
    xkb_context_unref(contexto);
  }
};

const Referencia& referencia() {
  static const Referencia r;
  return r;
}

std::string nombreDeTecla(uint32_t keycode) {
  return "<T" + std::to_string(keycode) + ">";
}

std::string nombreDeKeysym(uint32_t keysym) {
  char nombre[64];
  // Keysyms without a name come back as hexadecimal numbers, which the compiler takes too.
  if (xkb_keysym_get_name(keysym, nombre, sizeof nombre) <= 0) return "NoSymbol";
  return nombre;
}

}  // namespace

size_t capacidad() {
  return referencia().libres.size() - std::size(MODIFICADORES);
}

uint32_t teclaDeModificador(uint32_t keysym) {
  const auto& lugares = referencia().lugares;
  auto it = lugares.find(keysym);
  return it == lugares.end() ? 0 : it->second;
}

MapaPropio mapaPropio(const std::vector<uint32_t>& keysyms) {
  const Referencia& r = referencia();
  MapaPropio mapa;
  std::set<uint32_t> usadas;
  std::vector<uint32_t> sinLugar;
  const auto poner = [&](uint32_t keysym, uint32_t keycode) {
    mapa.teclas.emplace(keysym, keycode);
    usadas.insert(keycode);
  };
  for (uint32_t m : MODIFICADORES)
    if (auto it = r.lugares.find(m); it != r.lugares.end()) poner(m, it->second);
  for (uint32_t k : keysyms) {
    if (mapa.teclas.count(k)) continue;
    if (auto it = r.lugares.find(k); it != r.lugares.end() && !usadas.count(it->second))
      poner(k, it->second);
    else
      sinLugar.push_back(k);
  }
  auto libre = r.libres.begin();
  for (uint32_t k : sinLugar) {
    if (mapa.teclas.count(k)) continue;
    while (libre != r.libres.end() && usadas.count(*libre)) ++libre;
    if (libre == r.libres.end()) break;
    poner(k, *libre);
  }

  std::string codigos, simbolos;
  for (const auto& [keysym, keycode] : mapa.teclas) {
    codigos += "    " + nombreDeTecla(keycode) + " = " + std::to_string(keycode) + ";\n";
    simbolos += "    key " + nombreDeTecla(keycode) + " { [ " + nombreDeKeysym(keysym) + " ] };\n";
  }
  const auto modificador = [&](const char* nombre, uint32_t keysym) {
    auto it = mapa.teclas.find(keysym);
    return it == mapa.teclas.end() ? std::string()
                                   : "    modifier_map " + std::string(nombre) + " { " +
                                         nombreDeTecla(it->second) + " };\n";
  };
  mapa.texto =
      "xkb_keymap {\n  xkb_keycodes \"tildo\" {\n    minimum = " + std::to_string(PRIMERA - 1) +
      ";\n    maximum = " + std::to_string(ULTIMA) + ";\n" + codigos +
      "  };\n"
      "  xkb_types \"tildo\" { include \"complete\" };\n"
      "  xkb_compatibility \"tildo\" { include \"complete\" };\n"
      "  xkb_symbols \"tildo\" {\n" +
      simbolos + modificador("Shift", XKB_KEY_Shift_L) + modificador("Control", XKB_KEY_Control_L) +
      modificador("Mod1", XKB_KEY_Alt_L) + modificador("Mod4", XKB_KEY_Super_L) + "  };\n};\n";
  return mapa;
}

}  // namespace tildo::wayland
