// Applications people use every day, from Debian's packages, started as a user starts them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include "escritorio_real.h"

namespace tildo::prueba {
namespace {

bool algo(const Json& r) {
  return r.value("total", 0) > 0;
}

// The element whose description is the one given, from the application's outline.
Json conDescripcion(const std::string& app, const std::string& descripcion) {
  const Json r = ax({"ax-tree", "--app", app, "--depth", "20", "--max", "2000"}).json();
  for (const auto& e : r.value("elementos", Json::array()))
    if (e.value("descripcion", "") == descripcion) return e;
  return Json::object();
}

// KDE Frameworks 5 on Qt 5: a calculator's digits pressed by their text.
TEST(AplicacionesDeDebian, KcalcPulsaSusCifrasPorSuTextoYNoVeSusMenusCerrados) {
  const LectorIntacto lector;
  Aplicacion kcalc({"env", "-u", "AT_SPI_BUS_ADDRESS", "kcalc"});
  const Json siete = axHasta({"ax-find", "--app", "kcalc", "--name", "7"}, algo, 20s, 200ms);
  ASSERT_EQ(siete.value("total", 0), 1) << siete.dump();
  const Json boton = siete["elementos"][0];
  EXPECT_EQ(boton["rol"], "AXButton");
  EXPECT_EQ(boton["titulo"], "7");
  // Layout boxes give way: the digits sit right below the window.
  EXPECT_EQ(boton["nivel"], 2);

  const Json en = axEnCentro("ax-at", boton).json();
  EXPECT_EQ(en["rol"], "AXButton");
  EXPECT_EQ(en["titulo"], "7");
  EXPECT_EQ(en["x"], boton["x"]);

  // Qt names its press action "Press": the digits are pressed through it, not clicked.
  const Json acciones = boton.value("acciones", Json::array());
  EXPECT_NE(std::find(acciones.begin(), acciones.end(), "AXPress"), acciones.end()) << boton;
  for (const char* cifra : {"7", "8"}) {
    const Json r = ax({"ax-click", "--app", "kcalc", "--name", cifra}).json();
    EXPECT_EQ(r["ok"], true) << cifra;
    EXPECT_EQ(r.value("metodo", ""), "AXPress") << r.dump();
  }
  Json pantalla = Json::object();
  for (int i = 0; i < 20 && pantalla.value("titulo", "") != "78"; ++i) {
    std::this_thread::sleep_for(100ms);
    pantalla = conDescripcion("kcalc", "Result Display");
  }
  EXPECT_EQ(pantalla.value("titulo", ""), "78") << pantalla.dump();

  // The menu bar is there; the items of its closed menus are not.
  EXPECT_EQ(ax({"ax-find", "--app", "kcalc", "--name", "File"}).json()["total"], 1);
  EXPECT_EQ(ax({"ax-find", "--app", "kcalc", "--name", "Quit"}).json()["total"], 0);
}

// LibreOffice Writer with the GTK 3 plugin a Debian desktop installs with it: the toolbar's
// Bold, not the item of the closed Format menu, is found, pressed and left pressed.
TEST(AplicacionesDeDebian, WriterPulsaLaNegritaDeLaBarraYNoLaDelMenu) {
  const LectorIntacto lector;
  const CarpetaTemporal perfil;
  Aplicacion writer({"env", "-u", "AT_SPI_BUS_ADDRESS", "libreoffice", "--writer", "--norestore",
                     "-env:UserInstallation=file://" + perfil.ruta().string()});
  const std::vector<std::string> bold{"ax-find", "--app", "soffice", "--name", "Bold"};
  const Json negrita = axHasta(bold, algo, 120s, 500ms);
  ASSERT_GE(negrita.value("total", 0), 1) << negrita.dump();
  for (const auto& e : negrita["elementos"]) EXPECT_NE(e["rol"], "AXMenuItem") << e.dump();
  const Json boton = negrita["elementos"][0];
  EXPECT_EQ(boton["valor"], "0") << boton.dump();
  const Json en = axEnCentro("ax-at", boton).json();
  EXPECT_EQ(en["titulo"], boton["titulo"]) << en.dump();
  EXPECT_EQ(en["x"], boton["x"]);

  EXPECT_EQ(ax({"ax-click", "--app", "soffice", "--name", "Bold"}).json()["ok"], true);
  const Json pulsada = axHasta(
      bold, [](const Json& r) { return algo(r) && r["elementos"][0].value("valor", "") == "1"; },
      15s, 200ms);
  EXPECT_TRUE(algo(pulsada) && pulsada["elementos"][0].value("valor", "") == "1") << pulsada;
}

}  // namespace
}  // namespace tildo::prueba
