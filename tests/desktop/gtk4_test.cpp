// GTK 4 applications: the widget factory (gtk-4-examples) and the calculator, a GTK 4 and
// libadwaita application, read, found and pressed by their visible text.
#include <gtest/gtest.h>

#include <regex>
#include <thread>

#include "escritorio_real.h"

namespace tildo::prueba {
namespace {

// The outline once the application is on the accessibility bus with its window.
Json arbolCon(const std::string& app, const std::string& ventana, size_t minimo) {
  return axHasta(
      {"ax-tree", "--app", app, "--depth", "40", "--max", "2000"},
      [&](const Json& r) {
        const auto& elementos = r.value("elementos", Json::array());
        return elementos.size() >= minimo &&
               std::any_of(elementos.begin(), elementos.end(), [&](const Json& e) {
                 return e["rol"] == "AXWindow" && e.value("titulo", "") == ventana;
               });
      },
      30s, 300ms);
}

// GTK 4 names an element that has no name of its own after its class ("GtkBox", "AdwGizmo").
void sinNombresDeClase(const Json& arbol) {
  const std::regex clase("(Gtk|Adw)[A-Z][A-Za-z]*");
  for (const auto& e : arbol.value("elementos", Json::array()))
    EXPECT_FALSE(std::regex_match(e.value("titulo", ""), clase)) << e.dump();
}

// The widget factory's window and its check buttons: an insensitive one says so, and one
// pressed by its text changes its state.
TEST(Gtk4, FabricaConSuVentanaYSusCasillas) {
  Aplicacion fabrica({"gtk4-widget-factory"});
  const Json r = arbolCon("gtk4-widget-factory", "GTK Widget Factory", 50);
  ASSERT_GT(r.value("total", 0), 50) << r.dump();
  EXPECT_EQ(r["bundle"], "org.gtk.WidgetFactory4");
  sinNombresDeClase(r);
  std::vector<bool> casillas;
  for (const auto& e : r["elementos"])
    if (e["rol"] == "AXCheckBox" && e.value("titulo", "") == "checkbutton")
      casillas.push_back(e.value("habilitado", false));
  // Three sensitive check buttons, then three insensitive ones.
  EXPECT_EQ(casillas, (std::vector<bool>{true, true, true, false, false, false}));

  auto estado = [] {
    const Json f = ax({"ax-find", "--app", "gtk4-widget-factory", "--depth", "40", "--max", "2000",
                       "--name", "checkbutton"})
                       .json();
    return f["elementos"][0].value("valor", "");
  };
  const std::string antes = estado();
  ASSERT_TRUE(antes == "0" || antes == "1") << antes;
  // GTK 4.8 gives check buttons no action: the click at the centre presses it.
  auto c = ax({"ax-click", "--app", "gtk4-widget-factory", "checkbutton"});
  EXPECT_EQ(c.stderr_, "");
  EXPECT_EQ(c.json()["ok"], true) << c.stdout_;
  std::string despues;
  for (int i = 0; i < 20 && (despues = estado()) == antes; ++i) std::this_thread::sleep_for(100ms);
  EXPECT_NE(despues, antes);
}

// The calculator's digits, named once and placed on the screen where the window is: the element
// at a digit's centre is the digit.
TEST(Gtk4, TeclasDeLaCalculadoraEnSuSitio) {
  const LectorIntacto lector;
  Aplicacion calculadora({"gnome-calculator"});
  ASSERT_NE(esperarVentana("Calculator"), 0u);
  const Json r = arbolCon("calculator", "Calculator", 20);
  sinNombresDeClase(r);
  Json siete;
  for (const auto& e : r.value("elementos", Json::array())) {
    EXPECT_NE(e.value("titulo", ""), "7 7");
    if (e["rol"] == "AXButton" && e.value("titulo", "") == "7") siete = e;
  }
  ASSERT_FALSE(siete.is_null()) << r.dump();
  EXPECT_EQ(siete["habilitado"], true);

  Json marco;
  const Json ventanas = ax({"windows"}).json();
  for (const auto& v : ventanas["ventanas"])
    if (v["titulo"] == "Calculator") marco = v["marco"];
  ASSERT_FALSE(marco.is_null()) << ventanas.dump();
  const int x = marco["x"], y = marco["y"], ancho = marco["ancho"], alto = marco["alto"];
  EXPECT_GT(siete["cx"].get<int>(), x);
  EXPECT_LT(siete["cx"].get<int>(), x + ancho);
  EXPECT_GT(siete["cy"].get<int>(), y + alto / 2);
  EXPECT_LT(siete["cy"].get<int>(), y + alto);

  const Json en = axEnCentro("ax-at", siete).json();
  EXPECT_EQ(en["rol"], "AXButton") << en.dump();
  EXPECT_EQ(en["titulo"], "7");
}

}  // namespace
}  // namespace tildo::prueba
