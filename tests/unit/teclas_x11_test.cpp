// The X11 backend's rules: key table, characters to keysyms, wheel clicks, binding batches,
// the note of lent keycodes.
#include <gtest/gtest.h>

#include "ax/frame/teclado.h"
#include "desktop/x11/teclas_x11.h"

namespace tildo::x11 {
namespace {

TEST(TeclasX11, CadaTeclaDeLaTablaTieneKeysym) {
  for (const auto& [nombre, codigo] : MAPA_TECLAS) EXPECT_NE(keysymDeTecla(codigo), 0u) << nombre;
  EXPECT_EQ(keysymDeTecla(0), 0x61u);      // a
  EXPECT_EQ(keysymDeTecla(36), 0xff0du);   // Return
  EXPECT_EQ(keysymDeTecla(51), 0xff08u);   // BackSpace
  EXPECT_EQ(keysymDeTecla(117), 0xffffu);  // Delete
  EXPECT_EQ(keysymDeTecla(116), 0xff55u);  // Prior
  EXPECT_EQ(keysymDeTecla(50), 0x60u);     // grave
  EXPECT_EQ(keysymDeTecla(10), 0u);
}

TEST(TeclasX11, CaracteresAKeysyms) {
  using K = std::vector<uint32_t>;
  EXPECT_EQ(keysymsDeCaracter(u"a"), K{0x61});
  EXPECT_EQ(keysymsDeCaracter(u"ß"), K{0xdf});
  EXPECT_EQ(keysymsDeCaracter(u"\u00a0"), K{0xa0});
  EXPECT_EQ(keysymsDeCaracter(u"€"), K{0x10020ac});
  // One keysym per code point, surrogate pairs joined.
  EXPECT_EQ(keysymsDeCaracter(u"👍🏽"), (K{0x101f44d, 0x101f3fd}));
  EXPECT_EQ(keysymsDeCaracter(u"e\u0301"), (K{0x65, 0x1000301}));
  // A carriage return, alone or with its line feed, is one Return; other controls and lone
  // surrogates type nothing.
  EXPECT_EQ(keysymsDeCaracter(u"\r\n"), K{0xff0d});
  EXPECT_EQ(keysymsDeCaracter(u"\r"), K{0xff0d});
  EXPECT_EQ(keysymsDeCaracter(u"\x1b"), K{});
  EXPECT_EQ(keysymsDeCaracter(u"\x7f\u0085"), K{});
  EXPECT_EQ(keysymsDeCaracter(std::u16string(1, char16_t(0xd83d))), K{});
}

TEST(TeclasX11, ClicsDeRuedaPorPixeles) {
  EXPECT_EQ(clicsDeRueda(0), 0u);
  EXPECT_EQ(clicsDeRueda(1), 1u);
  EXPECT_EQ(clicsDeRueda(-50), 1u);
  EXPECT_EQ(clicsDeRueda(51), 2u);
  EXPECT_EQ(clicsDeRueda(-120), 3u);
  EXPECT_EQ(clicsDeRueda(INT32_MIN), CLICS_MAXIMOS);
  EXPECT_EQ(clicsDeRueda(INT32_MAX), CLICS_MAXIMOS);
}

TEST(TeclasX11, LotesEnOrdenDeAparicion) {
  const std::vector<uint32_t> s = {1, 2, 1, 3, 4, 2, 5};
  EXPECT_EQ(siguienteLote(1, s, 0, 3), (std::vector<uint32_t>{1, 2, 3}));
  // The one needed now comes first even when it is not next in the text.
  EXPECT_EQ(siguienteLote(9, s, 4, 3), (std::vector<uint32_t>{9, 4, 2}));
  EXPECT_EQ(siguienteLote(4, s, 4, 10), (std::vector<uint32_t>{4, 2, 5}));
  EXPECT_EQ(siguienteLote(4, s, 0, 0), std::vector<uint32_t>{});
}

TEST(TeclasX11, LaNotaDelPrestamoVaYVuelve) {
  Prestamo p;
  p.mayusculasSueltas = true;
  p.teclas = {{255, {1, 2, 3, 4}, 0x21, 1, 0x101f44d}, {93, {0, 0, 0, 0}, 0, 0, 0}};
  const auto bytes = anotar(p);
  EXPECT_EQ(bytes.size(), 2u + 2 * 11);
  const auto leida = leerNota(bytes);
  ASSERT_TRUE(leida);
  EXPECT_TRUE(leida->mayusculasSueltas);
  ASSERT_EQ(leida->teclas.size(), 2u);
  const Prestada& t = leida->teclas[0];
  EXPECT_EQ(t.keycode, 255u);
  EXPECT_EQ(std::vector<unsigned>(std::begin(t.tipos), std::end(t.tipos)),
            (std::vector<unsigned>{1, 2, 3, 4}));
  EXPECT_EQ(t.grupos, 0x21);
  EXPECT_EQ(t.ancho, 1);
  EXPECT_EQ(t.keysym, 0x101f44du);
  EXPECT_EQ(leida->teclas[1].keycode, 93u);
  EXPECT_EQ(leida->teclas[1].keysym, 0u);
  EXPECT_TRUE(leerNota(anotar(Prestamo{})));
}

TEST(TeclasX11, UnaNotaAjenaNoSeLee) {
  // Someone else's property under the same name must not make a run rewrite the keyboard.
  auto bytes = anotar(Prestamo{false, {{200, {}, 0, 0, 0x61}}});
  for (auto malos : {std::vector<unsigned char>{}, std::vector<unsigned char>{1},
                     std::vector<unsigned char>{2, 0}, std::vector<unsigned char>{1, 7},
                     std::vector<unsigned char>(bytes.begin(), bytes.end() - 1)})
    EXPECT_FALSE(leerNota(malos)) << malos.size();
  bytes[2] = 3;  // no X keycode is below 8
  EXPECT_FALSE(leerNota(bytes));
}

}  // namespace
}  // namespace tildo::x11
