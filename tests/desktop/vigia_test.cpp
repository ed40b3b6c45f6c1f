// tildo-ui vigilar on the real desktop: it hears tildo-ax's synthetic input as the user's,
// obeys the agent server's orders, outlives a closed standard input only as long as its parent,
// and ends when the X server goes.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>

#include <thread>

#include "../cli/en_marcha.h"
#include "escritorio_real.h"

namespace tildo::prueba {
namespace {

using Reloj = std::chrono::steady_clock;

const char* const LISTO = R"({"listo":true,"ok":true,"vigilando":true})";
const char* const TECLADO = R"({"evento":"actividad","ok":true,"tipo":"teclado"})";
const char* const ESCAPE = R"({"evento":"escape","ok":true})";

std::string clic(const std::string& boton, int x, int y) {
  return R"({"boton":")" + boton + R"(","evento":"clic","ok":true,"x":)" + std::to_string(x) +
         ",\"y\":" + std::to_string(y) + "}";
}
std::string actividad(const std::string& tipo, int x, int y) {
  return R"({"evento":"actividad","ok":true,"tipo":")" + tipo + R"(","x":)" + std::to_string(x) +
         ",\"y\":" + std::to_string(y) + "}";
}

// The ready line comes before the watcher listens: a key nobody uses is pressed until it is
// heard.
bool escuchando(EnMarcha& vigia, const std::map<std::string, std::string>& entorno = {}) {
  for (int intento = 0; intento < 20; ++intento) {
    auto e = entorno;
    e["TILDO_ESCRITORIO"] = "";
    correr("tildo-ax", {"key", "f12"}, e);
    if (auto l = vigia.linea(500ms)) return *l == TECLADO;
  }
  return false;
}

// The next line that is not pointer movement.
std::optional<std::string> sinMovimiento(EnMarcha& vigia) {
  auto l = vigia.linea();
  while (l && l->find(R"("tipo":"mouse")") != std::string::npos) l = vigia.linea();
  return l;
}

TEST(VigiaReal, OyeATildoAxYObedeceLasOrdenes) {
  principalALaDerecha();
  const auto inicio = Reloj::now();
  EnMarcha vigia("tildo-ui", {"vigilar"}, {{"TILDO_ESCRITORIO", ""}});
  ASSERT_EQ(vigia.linea(), LISTO);
  ASSERT_TRUE(escuchando(vigia));

  // Points from the primary monitor's top-left corner, which is at (640, 100) in the root.
  ax({"click", "100", "200"});
  ax({"click", "101", "201", "--derecho"});
  ax({"click", "-102", "202", "--medio"});
  EXPECT_EQ(sinMovimiento(vigia), clic("izquierdo", 100, 200));
  EXPECT_EQ(sinMovimiento(vigia), clic("derecho", 101, 201));
  EXPECT_EQ(sinMovimiento(vigia), clic("medio", -102, 202));
  ax({"key", "a"});
  ax({"type", "Ño"});
  // Modifiers change flags: one key each.
  ax({"key", "shift+a"});
  ax({"key", "cmd+alt+ctrl+shift+k"});
  ax({"key", "escape"});
  // One line per wheel step.
  ax({"scroll", "0", "-120"});
  for (const auto& l : {TECLADO, TECLADO, TECLADO, TECLADO, TECLADO, ESCAPE})
    EXPECT_EQ(vigia.linea(), l);
  for (int paso = 0; paso < 3; ++paso)
    EXPECT_EQ(sinMovimiento(vigia), actividad("scroll", -102, 202));

  // Escape is the key the current layout calls so.
  ASSERT_EQ(sistema({"setxkbmap", "-option", "caps:swapescape"}), 0);
  ax({"key", "escape"});
  EXPECT_EQ(vigia.linea(), ESCAPE);

  // Movement counts once the first two seconds are over.
  std::this_thread::sleep_until(inicio + 2100ms);
  ax({"move", "300", "400"});
  EXPECT_EQ(vigia.linea(), actividad("mouse", 300, 400));

  // Suppressed, only Escape is heard; every line comes in order, so none came before it.
  vigia.escribir("  Suprimir 3");
  ax({"click", "10", "10"});
  ax({"key", "a"});
  ax({"scroll", "0", "50"});
  ax({"move", "600", "600"});
  ax({"key", "escape"});
  EXPECT_EQ(vigia.linea(), ESCAPE);
  vigia.escribir("Libre ya");
  ax({"key", "a"});
  vigia.escribir("libre");
  ax({"key", "a"});
  EXPECT_EQ(vigia.linea(), TECLADO);
  vigia.escribir("salir");
  EXPECT_EQ(vigia.fin(), 0);
  EXPECT_EQ(vigia.linea(), std::nullopt);
  EXPECT_EQ(vigia.errores(), "");
}

TEST(VigiaReal, ConLaEntradaCerradaViveLoQueViveSuPadre) {
  // The watcher, once orphaned, is adopted here, where its end can be seen.
  ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  const std::string ui = carpetaDeProgramas() + "/tildo-ui";
  EnMarcha padre("/bin/sh", {"-c", "TILDO_ESCRITORIO= " + ui +
                                       " vigilar </dev/null & echo $!; exec sleep 600"});
  pid_t vigia = 0;
  int listos = 0;
  for (int i = 0; i < 2; ++i) {
    const auto l = padre.linea().value_or("");
    if (l == LISTO)
      ++listos;
    else
      vigia = std::atoi(l.c_str());
  }
  ASSERT_EQ(listos, 1);
  ASSERT_GT(vigia, 0);
  ASSERT_TRUE(escuchando(padre));
  ax({"click", "5", "6"});
  EXPECT_EQ(sinMovimiento(padre), clic("izquierdo", 5, 6));

  kill(padre.pid(), SIGKILL);
  ASSERT_EQ(padre.fin(), 128 + SIGKILL);
  const auto muerte = Reloj::now();
  int crudo = -1;
  while (waitpid(vigia, &crudo, WNOHANG) == 0 && Reloj::now() < muerte + 5s)
    std::this_thread::sleep_for(10ms);
  EXPECT_LT(Reloj::now() - muerte, 2500ms);
  EXPECT_TRUE(WIFEXITED(crudo) && WEXITSTATUS(crudo) == 0) << crudo;
}

TEST(VigiaReal, TerminaConTresCuandoSeVaLaPantalla) {
  PantallaPropia pantalla;
  ASSERT_FALSE(pantalla.nombre().empty());
  const std::map<std::string, std::string> entorno = {{"DISPLAY", pantalla.nombre()}};
  EnMarcha vigia(
      "tildo-ui", {"vigilar"},
      {{"DISPLAY", pantalla.nombre()}, {"TILDO_ESCRITORIO", ""}, {"TILDO_UI_DEBUG", "1"}});
  ASSERT_EQ(vigia.linea(), LISTO);
  ASSERT_TRUE(escuchando(vigia, entorno));
  pantalla.quitar();
  EXPECT_EQ(vigia.fin(), 3);
  EXPECT_EQ(vigia.linea(), std::nullopt);
  EXPECT_EQ(vigia.errores(), "[tildo-ui] se perdió la conexión con la pantalla X\n");
}

}  // namespace
}  // namespace tildo::prueba
