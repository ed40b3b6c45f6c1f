// tildo-ui vigilar as the agent server sees it, on a simulated desktop: the ready line, the
// lines of the desktop's events, the refused source and the orders that end it.
#include <fstream>

#include <gtest/gtest.h>

#include "en_marcha.h"
#include "programa.h"

namespace tildo::prueba {
namespace {

const char* const LISTO = R"({"listo":true,"ok":true,"vigilando":true})";
const char* const RECHAZO =
    R"({"error":"no pude crear el vigía: falta el permiso de Monitoreo de entrada","ok":false,)"
    R"("permiso_monitoreo":false})";

TEST(UiVigia, LasLineasDeLosEventosYSalir) {
  EscritorioDePrueba escritorio(Json{{"eventos",
                                      {{{"tipo", 1}, {"x", 100.5}, {"y", 200.4}},
                                       {{"tipo", 5}, {"x", 900}, {"y", 900}},
                                       {{"tipo", 3}, {"x", -0.5}, {"y", 3.5}},
                                       {{"tipo", 25}, {"x", 7}, {"y", 8}},
                                       {{"tipo", 10}, {"tecla", 53}},
                                       {{"tipo", 10}, {"tecla", 0}},
                                       {{"tipo", 22}, {"x", 1}, {"y", 2}},
                                       {{"tipo", 2}, {"x", 1}, {"y", 2}}}}});
  EnMarcha vigia("tildo-ui", {"vigilar", "--clics"},
                 {{"TILDO_ESCRITORIO", escritorio.carpeta() + "/escritorio.json"}});
  EXPECT_EQ(vigia.linea(), LISTO);
  // Movement in the first two seconds and button releases print nothing.
  for (const char* esperada : {
           R"({"boton":"izquierdo","evento":"clic","ok":true,"x":101,"y":200})",
           R"({"boton":"derecho","evento":"clic","ok":true,"x":-1,"y":4})",
           R"({"boton":"medio","evento":"clic","ok":true,"x":7,"y":8})",
           R"({"evento":"escape","ok":true})",
           R"({"evento":"actividad","ok":true,"tipo":"teclado"})",
           R"({"evento":"actividad","ok":true,"tipo":"scroll","x":1,"y":2})",
       })
    EXPECT_EQ(vigia.linea(), esperada);
  vigia.escribir("Libre ya");
  vigia.escribir("  SALIR\t");
  EXPECT_EQ(vigia.fin(), 0);
  EXPECT_EQ(vigia.linea(), std::nullopt);
  EXPECT_EQ(vigia.errores(), "");
}

// VmHWM of the process, in kB.
long picoResidente(pid_t pid) {
  std::ifstream estado("/proc/" + std::to_string(pid) + "/status");
  for (std::string linea; std::getline(estado, linea);)
    if (linea.starts_with("VmHWM:")) return std::stol(linea.substr(6));
  return -1;
}

TEST(UiVigia, UnaLineaSinFinSeDescartaSinCrecerEnMemoria) {
  EscritorioDePrueba escritorio(Json::object());
  EnMarcha vigia("tildo-ui", {"vigilar"},
                 {{"TILDO_ESCRITORIO", escritorio.carpeta() + "/escritorio.json"}});
  EXPECT_EQ(vigia.linea(), LISTO);
  const long antes = picoResidente(vigia.pid());
  // 64 MB from a peer that takes it for an order to suppress; none of it is taken.
  vigia.escribir("suprimir" + std::string(64 << 20, 'x'));
  EXPECT_LT(picoResidente(vigia.pid()) - antes, 16 << 10);
  vigia.escribir("salir");
  EXPECT_EQ(vigia.fin(), 0);
  EXPECT_EQ(vigia.errores(), "[tildo-ui] orden descartada: la línea pasa de 64 KB\n");
}

TEST(UiVigia, SinFuenteDeEventosLoDiceYTerminaConTres) {
  EscritorioDePrueba sinPermiso(Json{{"permisos", {{"monitoreo", false}}}});
  const std::map<std::string, std::map<std::string, std::string>> casos = {
      {"el escritorio simulado no permite el monitoreo de entrada",
       {{"TILDO_ESCRITORIO", sinPermiso.carpeta() + "/escritorio.json"}}},
      {"no hay pantalla X (DISPLAY)",
       {{"TILDO_ESCRITORIO", ""}, {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}}},
      {"en una sesión Wayland el compositor no deja a ningún programa oír la entrada de todo "
       "el escritorio (WAYLAND_DISPLAY)",
       {{"TILDO_ESCRITORIO", ""}, {"DISPLAY", ":0"}, {"WAYLAND_DISPLAY", "wayland-0"}}},
  };
  for (auto [causa, entorno] : casos) {
    auto s = correr("tildo-ui", {"vigilar"}, entorno);
    EXPECT_EQ(s.stdout_, std::string(LISTO) + "\n" + RECHAZO + "\n");
    EXPECT_EQ(s.stderr_, "");
    EXPECT_EQ(s.codigo, 3);
    entorno["TILDO_UI_DEBUG"] = "1";
    EXPECT_EQ(correr("tildo-ui", {"vigilar"}, entorno).stderr_,
              "[tildo-ui] no pude escuchar la entrada: " + causa + "\n");
  }
}

}  // namespace
}  // namespace tildo::prueba
