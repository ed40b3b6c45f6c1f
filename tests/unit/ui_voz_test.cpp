// What decir says and how it calls the speech program.
#include <gtest/gtest.h>

#include "common/fallo.h"
#include "ui/frame/voz.h"

namespace tildo::ui {
namespace {

using V = std::vector<std::string>;

TEST(UiVoz, ElTextoDeLaBandera) {
  auto d = queDecir(argumentosDeUi({"a", "--texto", "dos  palabras", "b"}));
  EXPECT_EQ(d.texto, "dos  palabras");
  EXPECT_EQ(d.voz, std::nullopt);
  EXPECT_EQ(queDecir(argumentosDeUi({"--texto", "\n"})).texto, "\n");  // line breaks are not spaces
}

TEST(UiVoz, EspaciosDeUnicodeNoSonTexto) {
  try {
    queDecir(argumentosDeUi({"--texto", " \t\u00a0\u3000"}));
    ADD_FAILURE() << "no falló";
  } catch (const Fallo& f) {
    EXPECT_EQ(f.mensaje, "decir necesita --texto");
    EXPECT_EQ(f.codigo, 1);
  }
}

TEST(UiVoz, EspeakNgConLasOpcionesPrimero) {
  // espeak-ng takes its options first, and the text after "--" so a leading "-" is spoken.
  EXPECT_EQ(argumentosDeVoz("-hola", std::string("es"), true), (V{"-v", "es", "--", "-hola"}));
  EXPECT_EQ(argumentosDeVoz("-hola", std::nullopt, true), (V{"--", "-hola"}));
}

}  // namespace
}  // namespace tildo::ui
