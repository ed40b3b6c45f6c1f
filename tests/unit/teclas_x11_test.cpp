// The X11 backend's rules: key table, characters to keysyms, wheel clicks, binding batches,
// the keyboard's level lookup and rebinding request, the note of lent keycodes.
#include <gtest/gtest.h>

#include "ax/frame/teclado.h"
#include "desktop/x11/teclas_x11.h"

namespace tildo::x11 {
namespace {

TEST(TeclasX11, CadaTeclaDeLaTablaTieneKeysym) {
  for (const auto& [nombre, codigo] : MAPA_TECLAS()) EXPECT_NE(keysymDeTecla(codigo), 0u) << nombre;
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

// Three keys: two groups of two levels (types 1 and 2, the second giving level 2 with nothing
// held), and a key with one group whose out-of-range rule the tests change.
TecladoXkb tecladoDePrueba() {
  TecladoXkb t;
  t.minima = 10;
  t.nivelSinModificadores = {0, 0, 1};
  t.teclas.resize(3);
  t.teclas[0] = {{1, 2, 0, 0}, 2, 2, {'a', 'A', 0x6c6, 0x6e6}, 0};
  t.teclas[1] = {{0, 0, 0, 0}, 1, 1, {'q'}, 0};
  return t;
}

TEST(TeclasX11, KeysymSinModificadoresEnCadaGrupo) {
  TecladoXkb t = tecladoDePrueba();
  EXPECT_EQ(keysymSinModificadores(t, 10, 0), uint32_t('a'));
  // The second group's type answers level 2 when nothing is held.
  EXPECT_EQ(keysymSinModificadores(t, 10, 1), 0x6e6u);
  // A group beyond the key's own wraps round by default, or clamps, or is redirected.
  EXPECT_EQ(keysymSinModificadores(t, 10, 2), uint32_t('a'));
  t.teclas[0].grupos = 0x40 | 2;
  EXPECT_EQ(keysymSinModificadores(t, 10, 3), 0x6e6u);
  t.teclas[0].grupos = 0x80 | 0x10 | 2;
  EXPECT_EQ(keysymSinModificadores(t, 10, 2), 0x6e6u);
  EXPECT_EQ(keysymSinModificadores(t, 12, 0), 0u);
  EXPECT_EQ(keysymSinModificadores(t, 13, 0), 0u);
  EXPECT_EQ(keycodeDe(t, 'q', 1), 11u);
  EXPECT_EQ(keycodeDe(t, 'A', 0), 0u);
}

TEST(TeclasX11, UnBloqueEnLaFormaDeLaPeticion) {
  TecladoXkb t = tecladoDePrueba();
  // A key with no groups carries no keysyms, whatever its width and its old keysyms say.
  t.teclas[2] = {{0, 0, 0, 0}, 0, 1, {'z'}, 0};
  const BloqueXkb b = bloqueDeTeclas(t, 11, 12);
  EXPECT_EQ(b.keysyms, 1u);
  const uint32_t q = 'q';
  const uint16_t uno = 1, ninguno = 0;
  std::vector<uint8_t> esperado = {0, 0, 0, 0, 1, 1};
  esperado.insert(esperado.end(), reinterpret_cast<const uint8_t*>(&uno),
                  reinterpret_cast<const uint8_t*>(&uno) + 2);
  esperado.insert(esperado.end(), reinterpret_cast<const uint8_t*>(&q),
                  reinterpret_cast<const uint8_t*>(&q) + 4);
  esperado.insert(esperado.end(), {0, 0, 0, 0, 0, 1});
  esperado.insert(esperado.end(), reinterpret_cast<const uint8_t*>(&ninguno),
                  reinterpret_cast<const uint8_t*>(&ninguno) + 2);
  EXPECT_EQ(b.bytes, esperado);
}

TEST(TeclasX11, UnCambioDelTecladoSoloTocaLoQueEsDeLaEjecucion) {
  // Spare keycodes 10 and 12, lent; 11 between them, a key of the layout.
  TecladoXkb conocido = tecladoDePrueba();
  const Prestada diez{10, {3, 0, 0, 0}, 0, 2, 0}, doce{12, {}, 0, 0, 0};
  conocido.teclas[0] = ligadaA(diez, 0x20ac);
  conocido.teclas[2] = ligadaA(doce, 'x');
  const std::map<unsigned, TeclaXkb> devueltas = {{10, sinLigar(diez)}, {12, sinLigar(doce)}};

  // Nothing changed meanwhile: both go back to nothing, their key types as they were.
  TecladoXkb actual = conocido;
  EXPECT_EQ(fundir(actual, conocido, devueltas), std::vector<unsigned>{});
  EXPECT_TRUE(libre(actual.tecla(10)) && libre(actual.tecla(12)));
  EXPECT_EQ(actual.tecla(10).tipos[0], 3);
  EXPECT_EQ(actual.tecla(10).ancho, 2);

  // A layout loaded meanwhile: its key between them stays; 12 holds one of its keys and stays
  // too, given back as someone else's; 10, free in it, is written.
  actual = conocido;
  actual.teclas[1] = {{0, 0, 0, 0}, 1, 1, {'w'}, 0};
  actual.teclas[2] = {{0, 0, 0, 0}, 1, 1, {'y'}, 0x08};
  actual.teclas[0] = {};
  EXPECT_EQ(fundir(actual, conocido, devueltas), std::vector<unsigned>{12});
  EXPECT_EQ(actual.tecla(11).keysyms, std::vector<uint32_t>{'w'});
  EXPECT_EQ(actual.tecla(12).keysyms, std::vector<uint32_t>{'y'});
  EXPECT_EQ(actual.tecla(12).modificadores, 0x08);
  EXPECT_EQ(actual.tecla(10).tipos[0], 3);

  // Binding: a keycode still as the run left it is bound anew; the key types of groups a key
  // lacks do not count.
  actual = conocido;
  actual.teclas[2].tipos[3] = 9;
  EXPECT_EQ(fundir(actual, conocido, {{12, ligadaA(doce, 'z')}}), std::vector<unsigned>{});
  EXPECT_EQ(actual.tecla(12).keysyms, std::vector<uint32_t>{'z'});
  EXPECT_EQ(actual.tecla(12).grupos, 1);
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
