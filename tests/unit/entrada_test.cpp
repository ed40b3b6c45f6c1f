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

  void raton(int t, Punto p, int b) override {
    log.push_back("raton " + std::to_string(t) + " " + num(p.x) + "," + num(p.y) + " b" +
                  std::to_string(b));
  }
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

 private:
  static std::string num(double v) {
    std::string s = std::to_string(v);
    s.erase(s.find_last_not_of('0') + 1);
    if (s.back() == '.') s.pop_back();
    return s;
  }
};

using V = std::vector<std::string>;

TEST(Puntero, ClicDobleDerechoConSusPausas) {
  EntradaGrabada e;
  hacerClic(e, {10, 20}, boton::DERECHO, 2);
  EXPECT_EQ(e.log, (V{"raton 5 10,20 b0", "pausa 60000", "raton 3 10,20 b1", "pausa 40000",
                      "raton 4 10,20 b1", "pausa 80000", "raton 3 10,20 b1", "pausa 40000",
                      "raton 4 10,20 b1"}));
}

TEST(Puntero, ArrastreEnDocePasosHastaElFinal) {
  EntradaGrabada e;
  arrastrar(e, {0, 0}, {120, -24});
  ASSERT_EQ(e.log.size(), 3u + 24u + 1u);
  EXPECT_EQ(e.log[2], "raton 1 0,0 b0");
  EXPECT_EQ(e.log[3], "raton 6 10,-2 b0");
  EXPECT_EQ(e.log[25], "raton 6 120,-24 b0");
  EXPECT_EQ(e.log.back(), "raton 2 120,-24 b0");
}

TEST(Puntero, RuedaTruncaYRechazaLoQueNoCabe) {
  EntradaGrabada e;
  desplazar(e, 2.9, -1.9);
  EXPECT_EQ(e.log, V{"rueda -1 2"});
  EXPECT_THROW(desplazar(e, 0, 2147483648.0), Fallo);
  EXPECT_NO_THROW(desplazar(e, -2147483648.9, 0));
  EXPECT_EQ(e.log.size(), 2u);
}

TEST(Teclado, ComboEnMinusculasRecortadoYConBanderas) {
  EntradaGrabada e;
  escribirCombo(e, " Cmd + Shift+4");
  EXPECT_EQ(e.log, (V{"tecla 21 v f1179648", "pausa 25000", "tecla 21 ^ f1179648",
                      "pausa 25000"}));
  e.log.clear();
  escribirCombo(e, "hyper+A");
  EXPECT_EQ(e.log.front(), "tecla 0 v f0");
}

TEST(Teclado, CombosQueFallanSinPublicarNada) {
  EntradaGrabada e;
  auto mensaje = [&](const std::string& combo) {
    try {
      escribirCombo(e, combo);
    } catch (const Fallo& f) {
      return f.mensaje;
    }
    return std::string("sin fallo");
  };
  EXPECT_EQ(mensaje("+"), "combo vacío");
  EXPECT_EQ(mensaje("cmd+"), "no conozco la tecla «cmd»");
  EXPECT_EQ(mensaje("ctrl+É"), "no conozco la tecla «é»");
  EXPECT_EQ(mensaje("cmd+  "), "no conozco la tecla «»");
  EXPECT_EQ(mensaje("cmd++c"), "sin fallo");
  EXPECT_EQ(e.log.front(), "tecla 8 v f1048576");
}

TEST(Teclado, TextoPorCaracteresConReturnYTabComoTeclas) {
  EntradaGrabada e;
  escribir(e, "é\n\r\n👍🏽\t");
  EXPECT_EQ(e.log, (V{"tecla 0 v «é»",       "pausa 6000",  "tecla 0 ^ «é»",  "pausa 6000",
                      "tecla 36 v f0",       "pausa 25000", "tecla 36 ^ f0",  "pausa 25000",
                      "pausa 20000",         "tecla 0 v «\r\n»", "pausa 6000", "tecla 0 ^ «\r\n»",
                      "pausa 6000",          "tecla 0 v «👍🏽»", "pausa 6000", "tecla 0 ^ «👍🏽»",
                      "pausa 6000",          "tecla 48 v f0", "pausa 25000", "tecla 48 ^ f0",
                      "pausa 25000",         "pausa 20000"}));
  ASSERT_EQ(e.preparados.size(), 1u);
  EXPECT_EQ(e.preparados[0], (std::vector<std::u16string>{u"é", u"\r\n", u"👍🏽"}));
  EXPECT_EQ(e.terminados, 1);
}

}  // namespace
}  // namespace tildo
