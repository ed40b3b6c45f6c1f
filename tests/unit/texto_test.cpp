#include "common/texto.h"

#include <gtest/gtest.h>

namespace tildo {
namespace {

TEST(Texto, GrafemasCuentaLoQueElUsuarioVe) {
  EXPECT_EQ(contarGrafemas(""), 0u);
  EXPECT_EQ(contarGrafemas("hola mundo"), 10u);
  EXPECT_EQ(contarGrafemas("e\u0301"), 1u);                     // combining accent
  EXPECT_EQ(contarGrafemas("👍🏽👨‍👩‍👧"), 2u);  // skin tone, family
  EXPECT_EQ(contarGrafemas("\r\n"), 1u);
  EXPECT_EQ(grafemas("a\r\nb").at(1), "\r\n");
}

TEST(Texto, MinusculasCompletas) {
  EXPECT_EQ(minusculas("GUARDAR Cambios ÁÉ"), "guardar cambios áé");
  // Only A to Z change in ASCII: their neighbours stay as they are.
  EXPECT_EQ(minusculas("Ctrl+ZA@[`{\x7f"), "ctrl+za@[`{\x7f");
  EXPECT_EQ(minusculas("İ"), "i\u0307");  // full mapping, not per code unit
  EXPECT_EQ(minusculas("ΣΑΣ"), "σας");    // final sigma in context
}

TEST(Texto, RecortaEspaciosYTabuladoresPeroNoSaltosDeLinea) {
  EXPECT_EQ(recortarEspacios("  \t c \u00a0\u3000"), "c");
  EXPECT_EQ(recortarEspacios(" \n "), "\n");
  EXPECT_EQ(recortarEspacios("   "), "");
}

TEST(Texto, Utf16YValidez) {
  EXPECT_EQ(utf16("😀").size(), 2u);
  EXPECT_TRUE(utf8Valido("ñ"));
  EXPECT_FALSE(utf8Valido("\xc3"));
  EXPECT_FALSE(utf8Valido("\xed\xa0\x80"));  // a lone surrogate
}

TEST(Texto, ReparaElUtf8QueNoLoEs) {
  EXPECT_EQ(utf8Reparado("año"), "año");
  EXPECT_EQ(utf8Reparado("a\xff"
                         "b\xc3"),
            "a\ufffdb\ufffd");
  EXPECT_TRUE(utf8Valido(utf8Reparado("\xed\xa0\x80\xc0\xaf")));
  // Cut at a byte limit, the half character at the end goes; a bad byte before it stays marked.
  EXPECT_EQ(utf8Reparado("\xff€€\xe2\x82", true), "\ufffd€€");
  EXPECT_EQ(utf8Reparado("€\xe2\x82", false), "€\ufffd");
}

TEST(Texto, Latin1AUtf8) {
  EXPECT_EQ(utf8DeLatin1("Caf\xe9"), "Café");
  EXPECT_EQ(utf8DeLatin1(std::string("a\0\x80\xff", 4)), std::string("a\0\xc2\x80\xc3\xbf", 6));
}

}  // namespace
}  // namespace tildo
