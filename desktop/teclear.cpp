#include "desktop/teclear.h"

#include "desktop/x11/teclas_x11.h"

namespace tildo {

void teclearCaracter(const std::u16string& caracter, bool abajo,
                     const std::vector<uint32_t>& secuencia, size_t& posicion,
                     const std::function<uint32_t(uint32_t)>& teclaPara,
                     const std::function<std::optional<uint32_t>(uint32_t)>& ligada,
                     const std::function<void(uint32_t, bool)>& pulsar) {
  const auto keysyms = x11::keysymsDeCaracter(caracter);
  if (keysyms.empty()) return;
  if (!abajo) {
    if (auto keycode = ligada(keysyms.back())) pulsar(*keycode, false);
    return;
  }
  for (size_t i = 0; i < keysyms.size(); ++i) {
    const uint32_t keycode = teclaPara(keysyms[i]);
    if (posicion < secuencia.size() && secuencia[posicion] == keysyms[i]) ++posicion;
    pulsar(keycode, true);
    if (i + 1 < keysyms.size()) pulsar(keycode, false);
  }
}

}  // namespace tildo
