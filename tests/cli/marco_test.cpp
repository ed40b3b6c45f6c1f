// The command frame of tildo-ax as the agent server sees it: bytes, exit codes, stderr.
#include <gtest/gtest.h>

#include "programa.h"

namespace tildo::prueba {
namespace {

const std::map<std::string, std::string> SIN_ESCRITORIO = {{"TILDO_ESCRITORIO", ""},
                                                           {"DISPLAY", ""}};

TEST(Marco, SinComandoNiComandoConocido) {
  auto s = correr("tildo-ax", {}, SIN_ESCRITORIO);
  EXPECT_EQ(s.stdout_,
            "{\"error\":\"falta el comando. Usa: info | click | drag | move | scroll | type | key "
            "| ax-tree | ax-find | ax-click | ax-focus | ax-at | windows | focus | place | "
            "minimize | work-area\",\"ok\":false}\n");
  EXPECT_EQ(s.codigo, 2);
  for (const char* palabra : {"INFO", "", "--app"}) {
    auto d = correr("tildo-ax", {palabra, "move"}, SIN_ESCRITORIO);
    EXPECT_EQ(d.stdout_,
              std::string("{\"error\":\"comando desconocido: ") + palabra + "\",\"ok\":false}\n");
    EXPECT_EQ(d.codigo, 2);
    EXPECT_EQ(d.stderr_, "");
  }
}

TEST(Marco, SinEscritorioLosComandosQuePublicanFallanConClaridad) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"move", "1", "2"},
                                               {"click", "1", "2"},
                                               {"scroll"},
                                               {"type", "hola"},
                                               {"key", "a"},
                                               {"drag", "1", "2", "3", "4"}}) {
    auto s = correr("tildo-ax", args, SIN_ESCRITORIO);
    EXPECT_EQ(s.codigo, 1) << args[0];
    EXPECT_EQ(s.json()["ok"], false);
    EXPECT_EQ(s.json()["error"],
              "no hay escritorio al que llegar: ni pantalla X (DISPLAY) ni escritorio simulado "
              "(TILDO_ESCRITORIO)");
    EXPECT_EQ(s.stderr_, "");
  }
  // A display that is named but cannot be opened is named in the message.
  auto d = correr("tildo-ax", {"frontmost"}, {{"TILDO_ESCRITORIO", ""}, {"DISPLAY", ":9987"}});
  EXPECT_EQ(d.codigo, 1);
  EXPECT_EQ(d.json()["error"], "no pude abrir la pantalla X «:9987» (DISPLAY)");
  EXPECT_EQ(d.stderr_, "");
  // Usage comes first: a bad command line is reported as such even without a desktop.
  EXPECT_EQ(correr("tildo-ax", {"move", "1"}, SIN_ESCRITORIO).json()["error"], "move necesita x y");
}

TEST(Marco, EscritorioSimuladoIlegible) {
  EscritorioDePrueba e;
  auto s = correr("tildo-ax", {"move", "1", "2"},
                  {{"TILDO_ESCRITORIO", e.carpeta() + "/no-existe.json"}});
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.json()["error"],
            "no pude leer el escritorio simulado «" + e.carpeta() + "/no-existe.json»");
}

}  // namespace
}  // namespace tildo::prueba
