// The command frame of tildo-ax as the agent server sees it: bytes, exit codes, stderr.
#include <sys/stat.h>

#include <filesystem>

#include <gtest/gtest.h>

#include "ayuda.h"
#include "programa.h"

namespace tildo::prueba {
namespace {

const std::map<std::string, std::string> SIN_ESCRITORIO = {
    {"TILDO_ESCRITORIO", ""}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}};

TEST(Marco, PalabraDeComandoAyudaYVersion) {
  comprobarComandos(
      "tildo-ax",
      {"info", "move", "click", "drag", "scroll", "type", "key", "frontmost", "ax-tree", "ax-find",
       "ax-click", "ax-focus", "ax-at", "windows", "work-area", "place", "minimize", "focus"},
      "info | click | drag | move | scroll | type | key | ax-tree | ax-find | "
      "ax-click | ax-focus | ax-at | windows | focus | place | minimize | work-area");
}

TEST(Marco, SinEscritorioLosComandosQuePublicanFallanConClaridad) {
  for (const std::vector<std::string>& args : {std::vector<std::string>{"move", "1", "2"},
                                               {"click", "1", "2"},
                                               {"scroll"},
                                               {"type", "hola"},
                                               {"key", "a"},
                                               {"drag", "1", "2", "3", "4"}}) {
    auto s = correr("tildo-ax", args, SIN_ESCRITORIO);
    EXPECT_TRUE(falla(s,
                      "no hay escritorio al que llegar: ni compositor Wayland que admita entrada "
                      "virtual (WAYLAND_DISPLAY), ni pantalla X (DISPLAY), ni escritorio simulado "
                      "(TILDO_ESCRITORIO)"))
        << args[0];
    EXPECT_EQ(s.stderr_, "");
  }
  // A display that is named but cannot be opened is named in the message.
  auto d = correr("tildo-ax", {"frontmost"}, {{"TILDO_ESCRITORIO", ""}, {"DISPLAY", ":9987"}});
  EXPECT_TRUE(falla(d, "no pude abrir la pantalla X «:9987» (DISPLAY)"));
  EXPECT_EQ(d.stderr_, "");
  // Usage comes first: a bad command line is reported as such even without a desktop.
  EXPECT_EQ(correr("tildo-ax", {"move", "1"}, SIN_ESCRITORIO).json()["error"], "move necesita x y");
}

TEST(Marco, EscritorioSimuladoIlegible) {
  EscritorioDePrueba e;
  auto s = correr("tildo-ax", {"move", "1", "2"},
                  {{"TILDO_ESCRITORIO", e.carpeta() + "/no-existe.json"}});
  EXPECT_TRUE(falla(
      s, "no pude leer el escritorio simulado «" + e.carpeta() + "/no-existe.json»: no existe"));
}

// A description that is not a file, or is too long, is refused at once and left as it was.
TEST(Marco, EscritorioSimuladoQueNoEsUnArchivo) {
  namespace fs = std::filesystem;
  EscritorioDePrueba e;
  const std::string ruta = e.carpeta() + "/d";
  const auto probar = [&](const std::string& motivo) {
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"info"}, {"move", "1", "2"}, {"ax-tree"}}) {
      auto s = correr("tildo-ax", args, {{"TILDO_ESCRITORIO", ruta}});
      EXPECT_TRUE(falla(s, "no pude leer el escritorio simulado «" + ruta + "»: " + motivo));
      EXPECT_LT(s.segundos, 2) << motivo;
      EXPECT_LT(s.memoriaMaximaKb, 64 * 1024) << motivo;
    }
  };
  fs::create_directory(ruta);
  probar("es un directorio");
  fs::remove(ruta);
  ASSERT_EQ(mkfifo(ruta.c_str(), 0600), 0);
  probar("es una tubería (FIFO), no un archivo");
  EXPECT_TRUE(fs::is_fifo(ruta));
  fs::remove(ruta);
  fs::create_symlink("/dev/zero", ruta);
  probar("es un dispositivo, no un archivo");
  EXPECT_TRUE(fs::is_symlink(ruta));
  fs::remove(ruta);
  fs::copy_file(e.carpeta() + "/escritorio.json", ruta);
  fs::resize_file(ruta, 100 << 20);
  probar("pasa de 16 MB");
  EXPECT_EQ(fs::file_size(ruta), 100u << 20);
}

}  // namespace
}  // namespace tildo::prueba
