// Writes and actions on simulated elements: what the window commands rely on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "ax/accessibility/lectores.h"
#include "common/archivos.h"
#include "desktop/simulated/simulado.h"

namespace tildo {
namespace {

class Simulado : public ::testing::Test {
 protected:
  void SetUp() override {
    char plantilla[] = "/tmp/tildo-simulado-XXXXXX";
    carpeta_ = mkdtemp(plantilla);
    escribirAtomico(carpeta_ + "/d.json",
                    Json{{"aplicaciones",
                          {{{"pid", 5},
                            {"nombre", "Edit"},
                            {"arbol", {{"rol", "AXApplication"}}},
                            {"ventanas",
                             {{{"rol", "AXWindow"}, {"titulo", "Uno"}, {"rechaza", {"AXSize"}}},
                              {{"rol", "AXWindow"},
                               {"titulo", "Dos"},
                               {"principal", true},
                               {"posicion", {{"x", 1}, {"y", 2}}},
                               {"acciones", {"AXRaise"}}}}}}}}}
                        .dump());
  }
  void TearDown() override { std::filesystem::remove_all(carpeta_); }
  EscritorioSimulado abrir() { return {carpeta_ + "/d.json", carpeta_ + "/r.jsonl"}; }
  std::string carpeta_;
};

TEST_F(Simulado, VentanasQueSeMuevenMinimizanOSeNiegan) {
  {
    auto e = abrir();
    auto app = e.accesibilidad().aplicacion(5);
    auto ventanas = elementosDe(*app, "AXWindows");
    ASSERT_TRUE(ventanas);
    ASSERT_EQ(ventanas->size(), 2u);
    auto principal = elementoDe(*app, "AXMainWindow");
    ASSERT_TRUE(principal);
    EXPECT_EQ(texto(*principal, "AXTitle"), "Dos");
    EXPECT_EQ(texto(*elementoDe(*principal, "AXParent"), "AXRole"), "AXApplication");
    EXPECT_EQ(principal->fijar("AXPosition", Punto{30, 40}), AX_EXITO);
    EXPECT_EQ(principal->fijar("AXMinimized", true), AX_EXITO);
    EXPECT_NE(principal->fijar("AXTitle", std::string("otro")), AX_EXITO);
    EXPECT_NE((*ventanas)[0]->fijar("AXSize", Medidas{5, 5}), AX_EXITO);
    EXPECT_EQ(principal->realizar("AXRaise"), AX_EXITO);
    EXPECT_NE((*ventanas)[0]->realizar("AXRaise"), AX_EXITO);
    EXPECT_EQ(punto(*principal, "AXPosition")->x, 30);
  }
  // The next run sees what the last one wrote.
  auto e = abrir();
  auto app = e.accesibilidad().aplicacion(5);
  auto ventanas = *elementosDe(*app, "AXWindows");
  EXPECT_EQ(punto(*ventanas[1], "AXPosition")->y, 40);
  EXPECT_EQ(booleano(*ventanas[1], "AXMinimized"), true);
  EXPECT_FALSE(medidas(*ventanas[0], "AXSize"));
  EXPECT_FALSE(texto(*e.accesibilidad().aplicacion(6), "AXRole"));
  const auto lineas = leerArchivo(carpeta_ + "/r.jsonl").value_or("");
  EXPECT_NE(lineas.find("{\"atributo\":\"AXPosition\",\"elemento\":\"\\/aplicaciones\\/0\\/"
                        "ventanas\\/1\",\"evento\":\"fijar\",\"resultado\":0,\"valor\":{\"x\":30,"
                        "\"y\":40}}"),
            std::string::npos)
      << lineas;
  EXPECT_NE(lineas.find("\"atributo\":\"AXSize\",\"elemento\":\"\\/aplicaciones\\/0\\/ventanas\\/"
                        "0\",\"evento\":\"fijar\",\"resultado\":-25200"),
            std::string::npos);
}

}  // namespace
}  // namespace tildo
