// The pointer and keyboard sequences against a recording input port.
#include <gtest/gtest.h>

#include "ax/frame/puntero.h"
#include "ax/frame/teclado.h"
#include "common/fallo.h"
#include "common/texto.h"

namespace tildo {
namespace {

class EntradaGrabada : public Entrada {
 public:
  std::vector<std::string> log;
  std::vector<std::vector<std::u16string>> preparados;
  int terminados = 0;

  void raton(int t, Punto, int) override { log.push_back("raton " + std::to_string(t)); }
  void rueda(int32_t r1, int32_t r2) override {
    log.push_back("rueda " + std::to_string(r1) + " " + std::to_string(r2));
  }
  void tecla(uint16_t c, bool abajo, std::optional<uint64_t> f,
             const std::u16string& texto) override {
    std::string s = "tecla " + std::to_string(c) + (abajo ? " v" : " ^");
    if (f) s += " f" + std::to_string(*f);
    if (!texto.empty()) s += " «" + utf8(texto) + "»";
    log.push_back(s);
  }
  void pausa(uint32_t us) override { log.push_back("pausa " + std::to_string(us)); }
  void prepararTexto(const std::vector<std::u16string>& c) override { preparados.push_back(c); }
  void terminarTexto() override { ++terminados; }
};

using V = std::vector<std::string>;

TEST(Puntero, RuedaAlBordeDeLoQueCabe) {
  EntradaGrabada e;
  EXPECT_NO_THROW(desplazar(e, -2147483648.9, 0));
  EXPECT_THROW(desplazar(e, 0, 2147483648.0), Fallo);
  EXPECT_EQ(e.log, V{"rueda 0 -2147483648"});
}

TEST(Teclado, CombosRecortadosEnMinusculasOQueFallanSinPublicarNada) {
  const std::vector<std::pair<std::string, std::string>> casos = {
      {"hyper+A", "tecla 0 v f0"},           {"cmd++c", "tecla 8 v f1048576"},
      {"cmd+", "no conozco la tecla «cmd»"}, {"ctrl+É", "no conozco la tecla «é»"},
      {"cmd+  ", "no conozco la tecla «»"},
  };
  for (const auto& [combo, esperado] : casos) {
    EntradaGrabada e;
    try {
      escribirCombo(e, combo);
      ASSERT_FALSE(e.log.empty()) << combo;
      EXPECT_EQ(e.log.front(), esperado) << combo;
    } catch (const Fallo& f) {
      EXPECT_EQ(f.mensaje, esperado) << combo;
      EXPECT_TRUE(e.log.empty()) << combo;
    }
  }
}

// Return and Tab go as keys, so only the other characters are prepared; the preparation is
// undone once, after the last character.
TEST(Teclado, TextoPreparaSoloLosCaracteresYLoDeshaceUnaVez) {
  EntradaGrabada e;
  escribir(e, "é\n\r\n👍🏽\t");
  ASSERT_EQ(e.preparados.size(), 1u);
  EXPECT_EQ(e.preparados[0], (std::vector<std::u16string>{u"é", u"\r\n", u"👍🏽"}));
  EXPECT_EQ(e.terminados, 1);
}

}  // namespace
}  // namespace tildo
