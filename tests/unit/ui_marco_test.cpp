// tildo-ui's process-wide paths, option readers, trace and the permission question's logic.
#include <fcntl.h>
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "common/archivos.h"
#include "ui/frame/constantes.h"
#include "ui/frame/lineas.h"
#include "ui/frame/permiso.h"

namespace tildo::ui {
namespace {

TEST(UiRutas, CarpetaDeTildoConfigAunVaciaYSinoLaDelUsuario) {
  EXPECT_EQ(calcularRutas("/home/ana", std::string("/tmp/c"), "/x/bin/t", "/").carpeta, "/tmp/c");
  EXPECT_EQ(calcularRutas("/home/ana", std::string(""), "/x/bin/t", "/").archivoAjustes,
            "/ajustes.json");
  // Concatenated as given, without normalising.
  EXPECT_EQ(calcularRutas("/h", std::string("rel/./c/"), "/x/bin/t", "/").archivoCandado,
            "rel/./c//barra.lock");
  EXPECT_EQ(calcularRutas("/home/ana", std::nullopt, "/x/bin/t", "/").carpeta,
            "/home/ana/.config/tildo");
}

// The images hang from share/tildo beside the program's bin/, in the build tree as installed.
TEST(UiRutas, RaizDesdeLaRutaDelPrograma) {
  EXPECT_EQ(raizDeApp("/a/b/bin/tildo-ui", "/cwd"), "/a/b/share/tildo");
  EXPECT_EQ(calcularRutas("/h", std::nullopt, "/a/b/bin/tildo-ui", "/").carpetaAssets,
            "/a/b/share/tildo/assets");
  EXPECT_EQ(raizDeApp("build/bin/tildo-ui", "/w/t"), "/w/t/build/share/tildo");
  EXPECT_EQ(raizDeApp("./build/./bin/../bin/tildo-ui", "/w/t/"), "/w/t/build/share/tildo");
  EXPECT_EQ(raizDeApp("../opt/bin/tildo-ui", "/w/t"), "/w/opt/share/tildo");
  EXPECT_EQ(raizDeApp("/usr/bin/tildo-ui", "/"), "/usr/share/tildo");
  EXPECT_EQ(raizDeApp("/bin/tildo-ui", "/"), "/share/tildo");
  EXPECT_EQ(calcularRutas("/h", std::nullopt, "/tildo-ui", "/").carpetaAssets,
            "/share/tildo/assets");
}

TEST(UiRutas, LasDelProcesoLeenElEntorno) {
  setenv("TILDO_CONFIG", "/tmp/conf-prueba", 1);
  auto r = rutasDelProceso("/opt/tildo/bin/tildo-ui");
  EXPECT_EQ(r.archivoAjustes, "/tmp/conf-prueba/ajustes.json");
  EXPECT_EQ(r.carpetaAssets, "/opt/tildo/share/tildo/assets");
  unsetenv("TILDO_CONFIG");
  const std::string home = std::getenv("HOME") ? std::getenv("HOME") : "";
  setenv("HOME", "/home/prueba", 1);
  EXPECT_EQ(rutasDelProceso("/opt/tildo/bin/tildo-ui").carpeta, "/home/prueba/.config/tildo");
  setenv("HOME", home.c_str(), 1);
  // Found through PATH: the program's real file, not the caller's directory.
  const auto propio = std::filesystem::read_symlink("/proc/self/exe");
  const auto antes = std::filesystem::current_path();
  std::filesystem::current_path("/tmp");
  r = rutasDelProceso(propio.filename().string());
  std::filesystem::current_path(antes);
  EXPECT_EQ(r.raizApp, (propio.parent_path().parent_path() / "share/tildo").string());
}

TEST(UiOpciones, Numeros) {
  using V = std::vector<double>;
  // The positionals that read as numbers (numeros_test), past the values of the value flags;
  // a value flag at the end skips nothing.
  EXPECT_EQ(
      argumentosDeUi({"10", "--y", "20", "1e2", "abc", "--etiqueta", "3", "0x10", "--x"}).numeros(),
      (V{10, 100, 16}));
  const auto raros = argumentosDeUi({"inf", "-nan"}).numeros();
  ASSERT_EQ(raros.size(), 2u);
  EXPECT_TRUE(std::isinf(raros[0]));
  EXPECT_TRUE(std::isnan(raros[1]));
}

// What traza wrote to standard error while the variable had that value.
std::string trazaCon(const char* valor) {
  if (valor)
    setenv("TILDO_UI_DEBUG", valor, 1);
  else
    unsetenv("TILDO_UI_DEBUG");
  char ruta[] = "/tmp/traza-XXXXXX";
  const int archivo = mkstemp(ruta);
  const int original = dup(STDERR_FILENO);
  dup2(archivo, STDERR_FILENO);
  traza("hola ñ");
  dup2(original, STDERR_FILENO);
  close(original);
  close(archivo);
  unsetenv("TILDO_UI_DEBUG");
  const std::string escrito = leerArchivo(ruta).value_or("?");
  unlink(ruta);
  return escrito;
}

TEST(UiTraza, SoloConTildoUiDebugExactamenteUno) {
  EXPECT_EQ(trazaCon("1"), "[tildo-ui] hola ñ\n");
  for (const char* otro : {"true", "11", "", " 1", "0"}) EXPECT_EQ(trazaCon(otro), "") << otro;
  EXPECT_EQ(trazaCon(nullptr), "");
}

TEST(UiPermiso, SegundosYTextos) {
  EXPECT_EQ(segundosDePermiso(std::nullopt), 60);
  EXPECT_EQ(segundosDePermiso("7.9"), 7.9);
  EXPECT_EQ(segundosDePermiso("0"), 0);
  EXPECT_EQ(segundosDePermiso("-3.5"), -3.5);
  EXPECT_EQ(segundosDePermiso("0x10"), 16);
  EXPECT_EQ(segundosDePermiso("9223372036854774784"), 9223372036854774784.0);
  // Printed as a 64-bit integer: what cannot be one takes the default.
  for (const char* malo :
       {"abc", " 5", "inf", "-inf", "nan", "1e19", "-1e19", "9223372036854775808"})
    EXPECT_EQ(segundosDePermiso(malo), 60) << malo;

  // The buttons' names are pressed by name on the real desktop; here, what is worked out.
  EXPECT_EQ(textosDePermiso("es", "Notas", 7.9).mensaje, "¿Tildo puede usar «Notas»?");
  EXPECT_EQ(textosDePermiso("en", "a", 1).mensaje, "May Tildo use \"a\"?");
  EXPECT_EQ(textosDePermiso("zh", "a", 1).mensaje, "Tildo 可以使用「a」吗？");
  EXPECT_EQ(textosDePermiso("fr", "a", 1).rechazar, "Rechazar");
  EXPECT_NE(textosDePermiso("es", "x", -2.7).informativo.find("en -2 segundos"), std::string::npos);
}

TEST(UiPermiso, PuntoDelPunteroDesdeElMonitorPrincipal) {
  auto p = puntoDelPuntero(640.5, 480.9, 0, 0, 1, 0, 0);
  EXPECT_EQ(p.x, 640);
  EXPECT_EQ(p.y, 480);
  // A second monitor to the left of the primary one: negative x.
  p = puntoDelPuntero(100, 50, 0, 0, 1, 1920, 0);
  EXPECT_EQ(p.x, -1820);
  EXPECT_EQ(p.y, 50);
  p = puntoDelPuntero(-0.5, 10, -1280, 0, 1, 0, 0);
  EXPECT_EQ(p.x, 0);  // toward zero, not down
  // A scaled screen keeps its origin in device pixels and scales the distance from it.
  p = puntoDelPuntero(1920 + 100.25, 60, 1920, 0, 2, 0, 0);
  EXPECT_EQ(p.x, 2120);
  EXPECT_EQ(p.y, 120);
}

}  // namespace
}  // namespace tildo::ui
