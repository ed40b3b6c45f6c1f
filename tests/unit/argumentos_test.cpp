#include "ax/frame/argumentos.h"

#include <gtest/gtest.h>

namespace tildo {
namespace {

using V = std::vector<std::string>;

TEST(Argumentos, PosicionalesSaltanLasBanderasYElValorDeLasSeisConValor) {
  EXPECT_EQ(Argumentos(V{"100", "--app", "Notes", "200", "--doble"}).posicionales(),
            (V{"100", "200"}));
  EXPECT_EQ(Argumentos(V{"--name", "hola", "mundo"}).posicionales(), V{"mundo"});
  EXPECT_EQ(Argumentos(V{"-5", "--indice", "3"}).posicionales(), (V{"-5", "3"}));
  EXPECT_EQ(Argumentos(V{"1", "--app"}).posicionales(), V{"1"});
}

TEST(Argumentos, BanderaTomaLoQueSigueALaPrimeraAparicion) {
  const Argumentos a(V{"--app", "--depth", "3", "--app", "otra"});
  EXPECT_EQ(a.bandera("--app"), "--depth");
  EXPECT_EQ(a.bandera("--depth"), "3");
  EXPECT_EQ(a.posicionales(), V{"3"});
  EXPECT_FALSE(Argumentos(V{"--app"}).bandera("--app"));
  EXPECT_FALSE(a.bandera("--APP"));
  EXPECT_TRUE(a.tiene("--app"));
  EXPECT_FALSE(a.tiene("--ap"));
}

TEST(Argumentos, UnirConEspaciosSimples) {
  EXPECT_EQ(unir({"hola", "mundo"}), "hola mundo");
  EXPECT_EQ(unir({}), "");
}

}  // namespace
}  // namespace tildo
