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
  auto r = calcularRutas("/home/ana", std::string("/tmp/c"), "/x/bin/tildo-ui", "/");
  EXPECT_EQ(r.carpeta, "/tmp/c");
  EXPECT_EQ(r.archivoAjustes, "/tmp/c/ajustes.json");
  EXPECT_EQ(r.archivoPosicion, "/tmp/c/barra-posicion.json");
  EXPECT_EQ(r.archivoCandado, "/tmp/c/barra.lock");
  EXPECT_EQ(r.archivoOcultar, "/tmp/c/barra-ocultar");
  EXPECT_EQ(r.archivoCerrada, "/tmp/c/barra-cerrada");
  EXPECT_EQ(calcularRutas("/home/ana", std::string(""), "/x/bin/t", "/").archivoAjustes,
            "/ajustes.json");
  // Concatenated as given, without normalising.
  EXPECT_EQ(calcularRutas("/h", std::string("rel/./c/"), "/x/bin/t", "/").archivoCandado,
            "rel/./c//barra.lock");
  r = calcularRutas("/home/ana", std::nullopt, "/x/bin/t", "/");
  EXPECT_EQ(r.carpeta, "/home/ana/.config/tildo");
  EXPECT_EQ(r.archivoCerrada, "/home/ana/.config/tildo/barra-cerrada");
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
  EXPECT_EQ(argumentosDeUi({"10", "--y", "20", "30"}).numeros(), (V{10, 30}));
  EXPECT_EQ(argumentosDeUi({"--clics", "5", "6"}).numeros(), (V{5, 6}));
  EXPECT_EQ(argumentosDeUi({"--app", "5"}).numeros(), (V{5}));
  EXPECT_EQ(argumentosDeUi({"1e2", "abc", "7"}).numeros(), (V{100, 7}));
  EXPECT_EQ(argumentosDeUi({" 5"}).numeros(), V{});
  EXPECT_EQ(argumentosDeUi({"0x10", "--etiqueta", "3", "--voz"}).numeros(), V{16});
  // The skip only happens when a value follows.
  EXPECT_EQ(argumentosDeUi({"4", "--x"}).numeros(), V{4});
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

TEST(UiPermiso, Segundos) {
  EXPECT_EQ(segundosDePermiso(std::nullopt), 60);
  EXPECT_EQ(segundosDePermiso("abc"), 60);
  EXPECT_EQ(segundosDePermiso(" 5"), 60);
  EXPECT_EQ(segundosDePermiso("7.9"), 7.9);
  EXPECT_EQ(segundosDePermiso("0"), 0);
  EXPECT_EQ(segundosDePermiso("-3.5"), -3.5);
  EXPECT_EQ(segundosDePermiso("0x10"), 16);
  // Printed as a 64-bit integer: what cannot be one takes the default.
  for (const char* malo : {"inf", "-inf", "nan", "1e19", "-1e19", "9223372036854775808"})
    EXPECT_EQ(segundosDePermiso(malo), 60) << malo;
  EXPECT_EQ(segundosDePermiso("9223372036854774784"), 9223372036854774784.0);
}

TEST(UiPermiso, TextosEnLosTresIdiomasYElInformativoEnEspanol) {
  const std::string informativo =
      "Se pregunta una vez por aplicación, hasta que cierres la sesión.\nTildo no escribe "
      "contraseñas ni toca pagos: eso siempre lo haces tú.\n\n(Si no contestas en 7 segundos, "
      "se toma como un no.)";
  auto es = textosDePermiso("es", "Notas", 7.9);
  EXPECT_EQ(es.mensaje, "¿Tildo puede usar «Notas»?");
  EXPECT_EQ(es.rechazar, "Rechazar");
  EXPECT_EQ(es.permitir, "Permitir");
  EXPECT_EQ(es.informativo, informativo);
  auto en = textosDePermiso("en", "esta aplicación", 7.9);
  EXPECT_EQ(en.mensaje, "May Tildo use \"esta aplicación\"?");
  EXPECT_EQ(en.rechazar, "Deny");
  EXPECT_EQ(en.permitir, "Allow");
  EXPECT_EQ(en.informativo, informativo);
  auto zh = textosDePermiso("zh", "Notas", 7.9);
  EXPECT_EQ(zh.mensaje, "Tildo 可以使用「Notas」吗？");
  EXPECT_EQ(zh.rechazar, "拒绝");
  EXPECT_EQ(zh.permitir, "允许");
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

TEST(UiPermiso, Lineas) {
  EXPECT_EQ(escribirJson(lineaDeListo(PuntoDelPuntero{12, -3})),
            R"({"boton_permitir":{"x":12,"y":-3},"listo":true,"ok":true})");
  EXPECT_EQ(escribirJson(lineaDeListo(std::nullopt)), R"({"listo":true,"ok":true})");
  EXPECT_EQ(escribirJson(lineaDeRespuesta("Notas", true)),
            R"({"app":"Notas","ok":true,"permitido":true,"respuesta":"permitir"})");
  EXPECT_EQ(escribirJson(lineaDeRespuesta("a/b", false)),
            R"({"app":"a\/b","ok":true,"permitido":false,"respuesta":"rechazar"})");
}

}  // namespace
}  // namespace tildo::ui
