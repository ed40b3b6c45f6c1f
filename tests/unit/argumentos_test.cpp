#include "ax/frame/argumentos.h"

#include <fcntl.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "ax/frame/respuesta.h"
#include "common/fallo.h"

namespace tildo {
namespace {

using V = std::vector<std::string>;

TEST(Argumentos, PosicionalesSaltanLasBanderasYElValorDeLasSeisConValor) {
  EXPECT_EQ(argumentosDeAx(V{"100", "--app", "Notes", "200", "--doble"}).posicionales(),
            (V{"100", "200"}));
  EXPECT_EQ(argumentosDeAx(V{"--name", "hola", "mundo"}).posicionales(), V{"mundo"});
  EXPECT_EQ(argumentosDeAx(V{"-5", "--indice", "3"}).posicionales(), (V{"-5", "3"}));
  EXPECT_EQ(argumentosDeAx(V{"1", "--app"}).posicionales(), V{"1"});
}

TEST(Argumentos, BanderaTomaLoQueSigueALaPrimeraAparicion) {
  const Argumentos a = argumentosDeAx(V{"--app", "--depth", "3", "--app", "otra"});
  EXPECT_EQ(a.bandera("--app"), "--depth");
  EXPECT_EQ(a.bandera("--depth"), "3");
  EXPECT_EQ(a.posicionales(), V{"3"});
  EXPECT_FALSE(argumentosDeAx(V{"--app"}).bandera("--app"));
  EXPECT_FALSE(a.bandera("--APP"));
  EXPECT_TRUE(a.tiene("--app"));
  EXPECT_FALSE(a.tiene("--ap"));
}

// Standard input that never ends is read up to the limit, then refused.
TEST(Argumentos, LeerStdinSinFin) {
  const int guardada = ::dup(STDIN_FILENO);
  const int cero = ::open("/dev/zero", O_RDONLY);
  ::dup2(cero, STDIN_FILENO);
  ::close(cero);
  std::string error;
  try {
    leerStdin();
  } catch (const Fallo& f) {
    error = f.mensaje;
  }
  ::dup2(guardada, STDIN_FILENO);
  ::close(guardada);
  EXPECT_EQ(error, "la entrada estándar pasa de 16 MB");
}

// A reply holding text that is not UTF-8 cannot be printed: what stands in for it is a failure,
// in the form of every reply, and its exit code says so.
TEST(Respuesta, LaQueNoSePuedeEscribirEsUnFalloConSuForma) {
  const Json mala = {{"ok", true}, {"app", "Caf\xe9"}};
  for (int codigo : {0, 1, 2}) {
    const LineaDeRespuesta l = lineaDeRespuesta(mala, codigo);
    EXPECT_EQ(l.bytes, R"({"error":"no se pudo serializar","ok":false})");
    EXPECT_EQ(l.codigo, codigo == 0 ? 1 : codigo);
  }
  const LineaDeRespuesta buena = lineaDeRespuesta({{"ok", true}, {"app", "Café"}}, 0);
  EXPECT_EQ(buena.bytes, R"({"app":"Café","ok":true})");
  EXPECT_EQ(buena.codigo, 0);
}

}  // namespace
}  // namespace tildo
