#pragma once
// A character typed as its keys, the same on every desktop that types by keysym: only how a
// keysym finds its keycode differs.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace tildo {

// The press (abajo) or release of one character: its code points' keys in turn, the last one
// held until the release. `secuencia` is the text announced ahead, `posicion` how far typing has
// come in it, moved on here. `teclaPara` gives a keysym's keycode, binding it when it has none;
// `ligada` the keycode it has now, if any; `pulsar` posts a keycode's press or release.
void teclearCaracter(const std::u16string& caracter, bool abajo,
                     const std::vector<uint32_t>& secuencia, size_t& posicion,
                     const std::function<uint32_t(uint32_t)>& teclaPara,
                     const std::function<std::optional<uint32_t>(uint32_t)>& ligada,
                     const std::function<void(uint32_t, bool)>& pulsar);

}  // namespace tildo
