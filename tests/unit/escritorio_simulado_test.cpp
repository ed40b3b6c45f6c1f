// What the simulated windows refuse, beyond what the window commands show.
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
    escribirAtomico(carpeta_ + "/d.json", Json{{"aplicaciones",
                                                {{{"pid", 5},
                                                  {"nombre", "Edit"},
                                                  {"arbol", {{"rol", "AXApplication"}}},
                                                  {"ventanas",
                                                   {{{"rol", "AXWindow"}, {"titulo", "Uno"}},
                                                    {{"rol", "AXWindow"},
                                                     {"titulo", "Dos"},
                                                     {"principal", true},
                                                     {"acciones", {"AXRaise"}}}}}}}}}
                                              .dump());
  }
  void TearDown() override { std::filesystem::remove_all(carpeta_); }
  EscritorioSimulado abrir() { return {carpeta_ + "/d.json", carpeta_ + "/r.jsonl"}; }
  std::string carpeta_;
};

// Moving, minimising, refusing a size and raising, seen again by the next run and in the
// event log, are shown through place, minimize and focus on the simulated desktop.
TEST_F(Simulado, LoQueLasVentanasNoAceptan) {
  auto e = abrir();
  auto app = e.accesibilidad().aplicacion(5);
  auto ventanas = elementosDe(*app, "AXWindows");
  ASSERT_TRUE(ventanas);
  ASSERT_EQ(ventanas->size(), 2u);
  auto principal = elementoDe(*app, "AXMainWindow");
  ASSERT_TRUE(principal);
  EXPECT_EQ(texto(*principal, "AXTitle"), "Dos");
  EXPECT_EQ(texto(*elementoDe(*principal, "AXParent"), "AXRole"), "AXApplication");
  EXPECT_NE(principal->fijar("AXTitle", std::string("otro")), AX_EXITO);
  EXPECT_NE((*ventanas)[0]->realizar("AXRaise"), AX_EXITO);
  EXPECT_FALSE(texto(*e.accesibilidad().aplicacion(6), "AXRole"));
}

}  // namespace
}  // namespace tildo
