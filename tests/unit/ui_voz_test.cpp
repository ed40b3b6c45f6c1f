// What decir says and how it calls the speech program.
#include <gtest/gtest.h>

#include "ui/frame/voz.h"

namespace tildo::ui {
namespace {

using V = std::vector<std::string>;

// What decir takes from its arguments, and Unicode's spaces as no text, are seen through its
// reply (tests/cli/ui_test.cpp).
TEST(UiVoz, LosSaltosDeLineaSonTexto) {
  EXPECT_EQ(queDecir(argumentosDeUi({"--texto", "\n"})).texto, "\n");
}

TEST(UiVoz, EspeakNgConLasOpcionesPrimero) {
  // espeak-ng takes its options first, and the text after "--" so a leading "-" is spoken.
  EXPECT_EQ(argumentosDeVoz("-hola", std::string("es"), true), (V{"-v", "es", "--", "-hola"}));
  EXPECT_EQ(argumentosDeVoz("-hola", std::nullopt, true), (V{"--", "-hola"}));
}

}  // namespace
}  // namespace tildo::ui
