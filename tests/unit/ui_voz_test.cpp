// What decir says and how it calls the speech program.
#include <gtest/gtest.h>

#include "common/fallo.h"
#include "common/texto.h"
#include "ui/frame/voz.h"

namespace tildo::ui {
namespace {

using V = std::vector<std::string>;

TEST(UiVoz, TextoYVozDeLosArgumentos) {
  auto d = queDecir(argumentosDeUi({"hola", "--voz", "X"}));
  EXPECT_EQ(d.texto, "hola --voz X");
  EXPECT_EQ(d.voz, "X");
  d = queDecir(argumentosDeUi({"a", "--texto", "dos  palabras", "b"}));
  EXPECT_EQ(d.texto, "dos  palabras");
  EXPECT_EQ(d.voz, std::nullopt);
  // --texto without a value: the joined arguments, --texto included.
  EXPECT_EQ(queDecir(argumentosDeUi({"hola", "--texto"})).texto, "hola --texto");
  EXPECT_EQ(queDecir(argumentosDeUi({"--texto", "\n"})).texto, "\n");  // line breaks are not spaces
}

TEST(UiVoz, SinTextoFalla) {
  for (const V& args : {V{}, V{"--texto", " \t\u00a0\u3000"}, V{"", " "}}) {
    try {
      queDecir(argumentosDeUi(args));
      ADD_FAILURE() << "no falló";
    } catch (const Fallo& f) {
      EXPECT_EQ(f.mensaje, "decir necesita --texto");
      EXPECT_EQ(f.codigo, 1);
    }
  }
}

TEST(UiVoz, CortesPorCaracteresQueVeElUsuario) {
  // "é" as e + combining accent, and a flag of two code points: one character each.
  std::string largo;
  for (int i = 0; i < 250; ++i) largo += "e\u0301\U0001F1EA\U0001F1F8";
  const auto args = argumentosDeVoz(largo, std::nullopt, false);
  ASSERT_EQ(args.size(), 1u);
  EXPECT_EQ(contarGrafemas(args[0]), 300u);
  EXPECT_TRUE(largo.starts_with(args[0]));
  const Json linea = lineaDeDicho(0, largo);
  EXPECT_EQ(contarGrafemas(linea["dicho"].get<std::string>()), 120u);
  EXPECT_EQ(lineaDeDicho(-1, "hola"), (Json{{"codigo", -1}, {"dicho", "hola"}, {"ok", true}}));
}

TEST(UiVoz, LaVozSoloCuandoNoEstaVacia) {
  EXPECT_EQ(argumentosDeVoz("hola", std::string("Mónica"), false), (V{"hola", "-v", "Mónica"}));
  EXPECT_EQ(argumentosDeVoz("hola", std::string(""), false), V{"hola"});
  // espeak-ng takes its options first, and the text after "--" so a leading "-" is spoken.
  EXPECT_EQ(argumentosDeVoz("-hola", std::string("es"), true), (V{"-v", "es", "--", "-hola"}));
  EXPECT_EQ(argumentosDeVoz("-hola", std::nullopt, true), (V{"--", "-hola"}));
}

}  // namespace
}  // namespace tildo::ui
