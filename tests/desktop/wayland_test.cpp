// tildo-ax in a private headless sway (tests/desktop/escritorio-wayland) against native Wayland
// GTK applications: text arrives exactly whatever the user's layout, and the window commands
// see and move the windows sway manages.

#include <gtest/gtest.h>
#include <signal.h>

#include <thread>

#include "escritorio_real.h"

namespace tildo::prueba {
namespace {

// The entry of `windows` with that title, once sway has it focused; null on timeout.
Json esperarVentanaWayland(const std::string& titulo) {
  for (int i = 0; i < 100; ++i) {
    const Json respuesta = ax({"windows"}).json();
    for (const Json& v : respuesta.value("ventanas", Json::array()))
      if (v.value("titulo", "") == titulo) {
        const Json info = ax({"info"}).json();
        if (info.value("pid_en_primer_plano", 0) == v.value("pid", -1)) return v;
      }
    std::this_thread::sleep_for(100ms);
  }
  return nullptr;
}

// Once a drag holds its button: its guardian comes just before the press, which is sent at once.
bool conElBotonPulsado(const EnMarcha& arrastre) {
  if (!hasta(
          2s, [&] { return !hijos(arrastre.pid()).empty(); }, 2ms))
    return false;
  std::this_thread::sleep_for(30ms);
  return true;
}

TEST(Wayland, TextoExactoConLaDistribucionDelUsuario) {
  Aplicacion dialogo({"zenity", "--entry", "--title=Entrada Wayland", "--text=Escribe"});
  ASSERT_FALSE(esperarVentanaWayland("Entrada Wayland").is_null());
  sinErrores(ax({"type", "--stdin"}, TEXTO_DIFICIL));
  sinErrores(ax({"key", "return"}));
  ASSERT_EQ(dialogo.esperarFin(), 0);
  EXPECT_EQ(dialogo.salida(), TEXTO_DIFICIL + "\n");

  // Shortcuts go by the key's place: ctrl+a selects what is typed, delete takes it away.
  Aplicacion otro({"zenity", "--entry", "--title=Atajos Wayland", "--text=Escribe"});
  ASSERT_FALSE(esperarVentanaWayland("Atajos Wayland").is_null());
  sinErrores(ax({"type", "texto viejo"}));
  sinErrores(ax({"key", "ctrl+a"}));
  sinErrores(ax({"key", "delete"}));
  sinErrores(ax({"type", "nuevo\tx"}));
  sinErrores(ax({"key", "shift+tab"}));
  sinErrores(ax({"key", "Return"}));
  ASSERT_EQ(otro.esperarFin(), 0);
  EXPECT_EQ(otro.salida(), "nuevo\n");
}

TEST(Wayland, PantallasPunteroYVentanas) {
  const Json info = ax({"info"}).json();
  EXPECT_EQ(info["pantalla_puntos"], Json({{"ancho", 1280}, {"alto", 800}}));
  EXPECT_EQ(info["pantalla_pixeles"], Json({{"ancho", 1280}, {"alto", 800}}));
  EXPECT_EQ(info["escala"], 1.0);
  sinErrores(ax({"move", "321", "123"}));
  EXPECT_EQ(ax({"info"}).json()["cursor"], Json({{"x", 321}, {"y", 123}}));
  EXPECT_EQ(ax({"work-area"}).json(),
            Json({{"ok", true}, {"x", 0}, {"y", 0}, {"ancho", 1280}, {"alto", 800}}));

  Aplicacion dialogo({"zenity", "--question", "--title=Pregunta Wayland", "--text=¿Sí?"});
  const Json ventana = esperarVentanaWayland("Pregunta Wayland");
  ASSERT_FALSE(ventana.is_null());
  EXPECT_EQ(ventana["pid"], dialogo.pid());
  EXPECT_EQ(ventana["app"], "zenity");
  EXPECT_GT(ventana["marco"].value("ancho", 0), 100);

  const std::string pid = std::to_string(dialogo.pid());
  const Json colocada =
      ax({"place", "--pid", pid, "--x", "100", "--y", "60", "--ancho", "500", "--alto", "300"})
          .json();
  EXPECT_EQ(colocada["real"], Json({{"x", 100}, {"y", 60}, {"ancho", 500}, {"alto", 300}}));
  EXPECT_EQ(colocada["titulo"], "Pregunta Wayland");

  // A press in the window gives it the pointer and the keyboard, also that of a drag stopped by
  // SIGTERM, which lets go of the button itself; Return answers yes.
  EnMarcha arrastre = axEnMarcha({"drag", "350", "150", "352", "150"});
  ASSERT_TRUE(conElBotonPulsado(arrastre));
  kill(arrastre.pid(), SIGTERM);
  EXPECT_EQ(arrastre.linea(), "{\"error\":\"interrumpido por la señal SIGTERM\",\"ok\":false}");
  EXPECT_EQ(arrastre.fin(), 1);
  sinErrores(ax({"key", "return"}));
  EXPECT_EQ(dialogo.esperarFin(), 0);

  Aplicacion otro({"zenity", "--info", "--title=Guardada Wayland", "--text=Hola"});
  ASSERT_FALSE(esperarVentanaWayland("Guardada Wayland").is_null());
  const std::string otroPid = std::to_string(otro.pid());
  EXPECT_EQ(ax({"minimize", "--pid", otroPid}).json(),
            Json({{"ok", true}, {"minimizada", "Guardada Wayland"}}));
  const Json ventanas = ax({"windows"}).json()["ventanas"];
  for (const Json& v : ventanas) EXPECT_NE(v["pid"], otro.pid());
  EXPECT_EQ(ax({"focus", "--pid", otroPid}).json()["enfocada"], "zenity");
  EXPECT_FALSE(esperarVentanaWayland("Guardada Wayland").is_null());
}

// Toolkits on Wayland give their elements' places in their window: the window's place from
// the compositor makes them global points again, wherever the window goes.
TEST(Wayland, ElementosEnSuSitioDeLaPantalla) {
  Aplicacion dialogo({"zenity", "--question", "--title=Botones Wayland", "--text=¿Sí?"});
  ASSERT_FALSE(esperarVentanaWayland("Botones Wayland").is_null());
  const std::string pid = std::to_string(dialogo.pid());
  const Json colocada =
      ax({"place", "--pid", pid, "--x", "300", "--y", "200", "--ancho", "400", "--alto", "200"})
          .json();
  ASSERT_EQ(colocada["real"], Json({{"x", 300}, {"y", 200}, {"ancho", 400}, {"alto", 200}}));

  const Json boton = primerHallado({"ax-find", "--app", pid, "No"});
  ASSERT_TRUE(boton.contains("cx")) << boton;
  EXPECT_EQ(boton["rol"], "AXButton");
  // Inside the window's frame, below its title bar: not where the toolkit alone would put it.
  const int cx = boton["cx"], cy = boton["cy"];
  EXPECT_GT(boton["x"].get<int>(), 300);
  EXPECT_GT(boton["y"].get<int>(), 200 + 20);
  EXPECT_LT(cx, 700);
  EXPECT_LT(cy, 400);

  const Json enElPunto = ax({"ax-at", std::to_string(cx), std::to_string(cy)}).json();
  EXPECT_EQ(enElPunto["titulo"], "No");
  EXPECT_EQ(enElPunto["rol"], "AXButton");
  EXPECT_EQ(enElPunto["x"], boton["x"]);
  EXPECT_EQ(enElPunto["y"], boton["y"]);

  // The compositor keeps a button down when the run that pressed it dies; its guardian lets it
  // go, over the button, which answers.
  EnMarcha arrastre = axEnMarcha(
      {"drag", std::to_string(cx), std::to_string(cy), std::to_string(cx + 2), std::to_string(cy)});
  ASSERT_TRUE(conElBotonPulsado(arrastre));
  kill(arrastre.pid(), SIGKILL);
  EXPECT_EQ(dialogo.esperarFin(), 1);

  // A window wider than sway's tile for it, clipped at the tile's corner, whose frame has no
  // name: its process's only window.
  Aplicacion fabrica({"gtk3-widget-factory"});
  ASSERT_FALSE(esperarVentanaWayland("gtk3-widget-factory").is_null());
  const std::vector<std::string> pagina2{"ax-find", "--app", std::to_string(fabrica.pid()),
                                         "Page 2"};
  const Json pagina = primerHallado(pagina2, 20s);
  ASSERT_TRUE(pagina.contains("cx")) << pagina;
  EXPECT_EQ(axEnCentro("ax-at", pagina).json()["titulo"], "Page 2");
  sinErrores(axEnCentro("click", pagina));
  Json marcada;
  hasta(
      5s, [&] { return (marcada = primerHallado(pagina2)).value("valor", "") == "1"; }, 100ms);
  EXPECT_EQ(marcada.value("valor", ""), "1") << marcada;
}

// A compositor of the family without sway's IPC: sway itself, with SWAYSOCK unset for tildo-ax,
// answers through the foreign-toplevel protocol alone.
Salida axSinIpc(const std::vector<std::string>& args) {
  return correr("tildo-ax", args,
                {{"TILDO_ESCRITORIO", ""}, {"TILDO_REGISTRO", ""}, {"SWAYSOCK", ""}});
}

TEST(Wayland, VentanasPorElProtocoloSinIpcDeSway) {
  Aplicacion dialogo({"zenity", "--info", "--title=Ajena Wayland", "--text=Hola"});
  Aplicacion fabrica({"gtk3-widget-factory"});
  Json lista;
  for (int i = 0; i < 100 && lista.size() < 2; ++i) {
    std::this_thread::sleep_for(100ms);
    lista = axSinIpc({"windows"}).json().value("ventanas", Json::array());
  }
  ASSERT_EQ(lista.size(), 2u) << lista;
  // The protocol gives no frame and no place; the pid is the one process the app id names.
  for (const Json& v : lista) {
    EXPECT_EQ(v["marco"], Json::object());
    EXPECT_EQ(v["id"], 0);
    const bool esDialogo = v["titulo"] == "Ajena Wayland";
    EXPECT_EQ(v["pid"], esDialogo ? dialogo.pid() : fabrica.pid()) << v;
    EXPECT_EQ(v["app"], esDialogo ? "zenity" : "gtk3-widget-factory") << v;
  }

  const std::string pid = std::to_string(dialogo.pid());
  EXPECT_EQ(axSinIpc({"focus", "--pid", pid}).json()["enfocada"], "zenity");
  EXPECT_EQ(axSinIpc({"info"}).json()["pid_en_primer_plano"], dialogo.pid());
  EXPECT_EQ(axSinIpc({"windows"}).json()["ventanas"][0]["titulo"], "Ajena Wayland");

  // sway does not minimise on a client's request: the reply says the window was not.
  EXPECT_EQ(axSinIpc({"minimize", "--pid", pid}).json(),
            Json({{"ok", false}, {"minimizada", "Ajena Wayland"}}));
  const Salida colocada =
      axSinIpc({"place", "--pid", pid, "--x", "0", "--y", "0", "--ancho", "300", "--alto", "200"});
  EXPECT_EQ(colocada.codigo, 1);
  EXPECT_EQ(colocada.json()["error"],
            "este compositor Wayland no deja a los programas colocar ventanas");
}

}  // namespace
}  // namespace tildo::prueba
