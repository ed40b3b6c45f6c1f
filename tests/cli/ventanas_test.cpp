// Window list and work area on the simulated desktop: layers, truncation, order, screens.
#include <gtest/gtest.h>

#include "programa.h"

namespace tildo::prueba {
namespace {

Json ventana(const char* titulo, double x, double y, double ancho, double alto) {
  return {{"rol", "AXWindow"},
          {"titulo", titulo},
          {"posicion", {{"x", x}, {"y", y}}},
          {"medidas", {{"ancho", ancho}, {"alto", alto}}}};
}

TEST(Ventanas, ListaSoloCapaCeroDelanteAtrasYTrunca) {
  Json minimizada = ventana("Oculta", 0, 0, 10, 10);
  minimizada["minimizado"] = true;
  Json flotante = ventana("Paleta", 1, 1, 5, 5);
  flotante["capa"] = 3;
  EscritorioDePrueba e(Json{
      {"primer_plano", 20},
      {"aplicaciones",
       {{{"pid", 10},
         {"nombre", "Notas"},
         {"ventanas", {ventana("Nota 1", 10.9, 20.5, 800.7, 600.2), minimizada, flotante}}},
        {{"pid", 20}, {"nombre", "Safari"}, {"ventanas", {ventana("Inicio", -3.7, 0, 1e300, 2)}}}}},
      {"ventanas_extra",
       {{{"numero", 7}, {"capa", 24}, {"dueno", "Window Server"}, {"nombre", "Menubar"}},
        {{"numero", 8}, {"capa", "alta"}},
        {{"nombre", 5}}}}});
  auto s = e.ax({"windows"});
  EXPECT_EQ(s.codigo, 0);
  // Extras first, in their order; a layer that does not read as an integer keeps the window.
  // Then the frontmost application's windows, then the rest; minimised and non-zero layers
  // are left out. Numbers count every described window.
  EXPECT_EQ(s.stdout_,
            "{\"ok\":true,\"ventanas\":["
            "{\"app\":\"?\",\"id\":8,\"marco\":{},\"pid\":0,\"titulo\":\"\"},"
            "{\"app\":\"?\",\"id\":0,\"marco\":{},\"pid\":0,\"titulo\":\"\"},"
            "{\"app\":\"Safari\",\"id\":4,\"marco\":{\"alto\":2,\"x\":-3,\"y\":0},\"pid\":20,"
            "\"titulo\":\"Inicio\"},"
            "{\"app\":\"Notas\",\"id\":1,\"marco\":{\"alto\":600,\"ancho\":800,\"x\":10,\"y\":20},"
            "\"pid\":10,\"titulo\":\"Nota 1\"}]}\n");
}

TEST(Ventanas, ListaVaciaOIlegible) {
  EscritorioDePrueba soloCapas(Json{{"ventanas_extra", {{{"capa", 20}}, {{"capa", -1}}}}});
  EXPECT_EQ(soloCapas.ax({"windows"}).stdout_, "{\"ok\":true,\"ventanas\":[]}\n");

  EscritorioDePrueba ilegible(Json{{"lista_ventanas_legible", false}});
  auto s = ilegible.ax({"windows"});
  EXPECT_EQ(s.stdout_, "{\"error\":\"no pude leer la lista de ventanas\",\"ok\":false}\n");
  EXPECT_EQ(s.codigo, 1);
}

TEST(AreaDeTrabajo, BarraDeMenusDockYVariasPantallas) {
  struct Caso {
    Json pantallas;
    Json activa;
    Json esperado;
  };
  const Json principal = {{"marco", {{"x", 0}, {"y", 0}, {"ancho", 1440}, {"alto", 900}}},
                          {"barra_menus", 25}};
  Json conDock = principal;
  conDock["dock"] = {{"lado", "izquierda"}, {"grosor", 64.5}};
  const Json segunda = {{"marco", {{"x", 1440}, {"y", 100}, {"ancho", 1280}, {"alto", 800}}},
                        {"barra_menus", 24.5},
                        {"dock", {{"grosor", 70}}}};
  const std::vector<Caso> casos = {
      {Json::array({principal}), 0, {{"x", 0}, {"y", 25}, {"ancho", 1440}, {"alto", 875}}},
      {Json::array({conDock}), 0, {{"x", 64}, {"y", 25}, {"ancho", 1375}, {"alto", 875}}},
      // Measured down from the top of the first screen, whatever screen is the main one.
      {Json::array({principal, segunda}),
       1,
       {{"x", 1440}, {"y", 24}, {"ancho", 1280}, {"alto", 705}}},
      // No main screen: an all-zero visible frame, flipped against the first screen.
      {Json::array({principal}), nullptr, {{"x", 0}, {"y", 900}, {"ancho", 0}, {"alto", 0}}},
      // Visible frame given as such; a height beyond 64 bits has no integer form.
      {Json::array({{{"marco", {{"x", 0}, {"y", 0}, {"ancho", 800}, {"alto", 600}}},
                     {"visible", {{"x", 0}, {"y", 50}, {"ancho", 800}, {"alto", 1e30}}}}}),
       0,
       {{"x", 0}, {"ancho", 800}}},
  };
  for (const auto& c : casos) {
    EscritorioDePrueba e(Json{{"pantallas", c.pantallas}, {"pantalla_activa", c.activa}});
    auto s = e.ax({"work-area"});
    Json esperado = c.esperado;
    esperado["ok"] = true;
    EXPECT_EQ(s.json(), esperado) << c.pantallas.dump();
    EXPECT_EQ(s.codigo, 0);
  }
}

TEST(AreaDeTrabajo, PantallaPorOmision) {
  EscritorioDePrueba e;
  EXPECT_EQ(e.ax({"work-area"}).stdout_,
            "{\"alto\":900,\"ancho\":1440,\"ok\":true,\"x\":0,\"y\":0}\n");
}

}  // namespace
}  // namespace tildo::prueba
