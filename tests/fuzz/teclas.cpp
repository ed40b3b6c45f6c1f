// The key combo parser and the walk of a text by grapheme clusters, on arbitrary bytes. A combo
// either fails before anything is posted or posts one key down and up; the clusters of a text
// put together give the text back, and typing it posts one key pair per cluster.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "ax/frame/teclado.h"
#include "common/fallo.h"
#include "common/texto.h"

namespace {

class EntradaContada : public tildo::Entrada {
 public:
  void raton(int, tildo::Punto, int) override { std::abort(); }
  void rueda(int32_t, int32_t) override { std::abort(); }
  void tecla(uint16_t, bool abajo, std::optional<uint64_t>, const std::u16string& texto) override {
    if (abajo) ++pulsadas;
    if (!texto.empty()) unidades += texto;
  }
  void pausa(uint32_t) override {}
  int pulsadas = 0;
  std::u16string unidades;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  const std::string bytes(reinterpret_cast<const char*>(datos), tamano);
  {
    EntradaContada entrada;
    try {
      tildo::escribirCombo(entrada, bytes);
      if (entrada.pulsadas != 1) std::abort();
    } catch (const tildo::Fallo&) {
      if (entrada.pulsadas != 0) std::abort();
    }
  }

  const auto partes = tildo::grafemas(bytes);
  std::string juntas;
  for (const auto& g : partes) {
    if (g.empty()) std::abort();
    juntas += g;
  }
  if (juntas != bytes) std::abort();
  if (tildo::contarGrafemas(bytes) != partes.size()) std::abort();
  const size_t n = partes.size() / 2;
  std::string primeras;
  for (size_t i = 0; i < n; ++i) primeras += partes[i];
  if (tildo::primerosGrafemas(bytes, n) != primeras) std::abort();

  if (tildo::utf8Valido(bytes)) {
    if (tildo::utf8(tildo::utf16(bytes)) != bytes) std::abort();
    if (!tildo::utf8Valido(tildo::minusculas(bytes))) std::abort();
    const std::string recortado = tildo::recortarEspacios(bytes);
    if (bytes.find(recortado) == std::string::npos) std::abort();
    EntradaContada entrada;
    tildo::escribir(entrada, bytes);
    if (entrada.pulsadas != static_cast<int>(partes.size())) std::abort();
  }
  return 0;
}
