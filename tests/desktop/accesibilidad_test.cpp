// Element trees, search, presses and focus of real applications on the private desktop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <thread>

#include "escritorio_real.h"

namespace tildo::prueba {
namespace {

// The widget factory's outline once it has come up whole.
Json arbolDeLaFabrica() {
  const auto fin = std::chrono::steady_clock::now() + 20s;
  Json r;
  while (std::chrono::steady_clock::now() < fin) {
    auto s = ax({"ax-tree", "--app", "widget", "--depth", "12", "--max", "2000"});
    EXPECT_EQ(s.stderr_, "");
    r = s.json();
    if (r.value("total", 0) > 100) break;
    std::this_thread::sleep_for(200ms);
  }
  return r;
}

TEST(Accesibilidad, ArbolDeLaFabricaYElementoEnSuCentro) {
  Aplicacion fabrica({"gtk3-widget-factory"});
  const Json r = arbolDeLaFabrica();
  ASSERT_GT(r.value("total", 0), 100) << r.dump();
  EXPECT_EQ(r["bundle"], "org.gtk.WidgetFactory");
  EXPECT_EQ(r["pid"], fabrica.pid());
  std::map<std::string, int> roles;
  Json boton;
  for (const auto& e : r["elementos"]) {
    ++roles[e["rol"].get<std::string>()];
    if (e["rol"] == "AXButton" && e.contains("titulo") && e.contains("cx") && boton.is_null())
      boton = e;
  }
  EXPECT_GT(roles["AXButton"], 3);
  EXPECT_GT(roles["AXCheckBox"], 3);
  EXPECT_GT(roles["AXTextField"], 0);
  ASSERT_FALSE(boton.is_null());

  auto s =
      ax({"ax-at", std::to_string(boton["cx"].get<int>()), std::to_string(boton["cy"].get<int>())});
  EXPECT_EQ(s.stderr_, "");
  const Json en = s.json();
  EXPECT_EQ(en["encontrado"], true);
  EXPECT_EQ(en["rol"], "AXButton");
  EXPECT_EQ(en["titulo"], boton["titulo"]);
  EXPECT_EQ(en["x"], boton["x"]);

  // A partial query in capitals finds the check buttons, and only what says so.
  const Json f = ax({"ax-find", "--app", "WIDGET", "--depth", "12", "--name", "CHECKBUT"}).json();
  EXPECT_EQ(f["consulta"], "checkbut");
  EXPECT_GT(f["total"].get<int>(), 0);
  for (const auto& e : f["elementos"])
    EXPECT_NE(e.value("titulo", "").find("checkbut"), std::string::npos) << e.dump();
}

// A program installed without its AT-SPI module still drives the pointer; the commands that
// need the bus say what is missing.
TEST(Accesibilidad, SinElModuloLoDiceYElPunteroSigue) {
  char plantilla[] = "/tmp/tildo-sin-modulo-XXXXXX";
  const std::filesystem::path carpeta = mkdtemp(plantilla);
  std::filesystem::create_directory(carpeta / "bin");
  std::filesystem::copy_file(std::filesystem::path(TILDO_BIN) / "tildo-ax",
                             carpeta / "bin" / "tildo-ax");
  const auto programa = std::filesystem::relative(carpeta / "bin" / "tildo-ax", TILDO_BIN);
  const std::map<std::string, std::string> entorno{{"TILDO_ESCRITORIO", ""},
                                                   {"TILDO_REGISTRO", ""}};

  const auto s = correr(programa, {"frontmost"}, entorno);
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.stderr_, "");
  EXPECT_EQ(s.json()["ok"], false);
  EXPECT_NE(s.json().value("error", "").find("módulo de accesibilidad"), std::string::npos)
      << s.stdout_;
  const auto m = correr(programa, {"move", "10", "10"}, entorno);
  EXPECT_EQ(m.codigo, 0) << m.stdout_;
  EXPECT_EQ(m.stderr_, "");
  std::filesystem::remove_all(carpeta);
}

TEST(Accesibilidad, PulsaElBotonDeUnaPreguntaPorSuNombre) {
  for (const auto& [boton, estado] : {std::pair{"no", 1}, std::pair{"YES", 0}}) {
    Aplicacion pregunta({"zenity", "--question", "--title=Pregunta", "--text=¿Seguimos?"});
    ASSERT_NE(esperarVentana("Pregunta"), 0u);
    // The dialog's tree appears on the bus a moment after its window.
    Json r;
    for (int i = 0; i < 50; ++i) {
      auto s = ax({"ax-click", "--app", std::to_string(pregunta.pid()), boton});
      EXPECT_EQ(s.stderr_, "");
      r = s.json();
      if (r["ok"] == true) break;
      std::this_thread::sleep_for(100ms);
    }
    EXPECT_EQ(r["metodo"], "AXPress") << r.dump();
    EXPECT_EQ(r["app"], "zenity");
    EXPECT_EQ(pregunta.esperarFin(10s), estado) << boton;
  }
}

TEST(Accesibilidad, FocoDeUnaEntradaYAppAlFrente) {
  DialogoEntrada dialogo("Entrada con foco");
  ASSERT_TRUE(dialogo.listo());
  Json r;
  for (int i = 0; i < 50; ++i) {
    r = ax({"ax-focus"}).json();
    if (r["hay_foco"] == true) break;
    std::this_thread::sleep_for(100ms);
  }
  EXPECT_EQ(r["hay_foco"], true) << r.dump();
  EXPECT_EQ(r["rol"], "AXTextField");
  EXPECT_EQ(r["enfocado"], true);
  EXPECT_EQ(r["app"], "zenity");
  auto s = ax({"frontmost"});
  EXPECT_EQ(s.stdout_, "{\"app\":\"zenity\",\"bundle\":\"Zenity\",\"ok\":true}\n");
  EXPECT_EQ(s.stderr_, "");
}

}  // namespace
}  // namespace tildo::prueba
