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
  EXPECT_TRUE(falla(s, "no pude leer la lista de ventanas"));
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

Json fijar(const std::string& elemento, const char* atributo, const Json& valor,
           int resultado = 0) {
  return {{"evento", "fijar"},
          {"elemento", elemento},
          {"atributo", atributo},
          {"valor", valor},
          {"resultado", resultado}};
}

Json app(int pid, const char* nombre, Json ventanas) {
  return {{"pid", pid},
          {"nombre", nombre},
          {"bundle", std::string("com.ejemplo.") + nombre},
          {"arbol", {{"rol", "AXApplication"}, {"titulo", nombre}}},
          {"ventanas", std::move(ventanas)}};
}

Json conRechazo(Json v, Json rechaza) {
  v["rechaza"] = std::move(rechaza);
  return v;
}

TEST(Colocar, RestauraLaMinimizadaAplicaTresVecesYLeeRedondeado) {
  Json v = ventana("Informe", 10.9, 20.5, 800.7, 600.2);
  v["minimizado"] = true;
  v["rechaza"] = {"AXPosition"};
  v["acciones"] = {"AXRaise"};
  EscritorioDePrueba e(Json{{"aplicaciones", {app(42, "Pages", {v})}}});
  auto s = e.ax(
      {"place", "--pid", "42", "--x", "1.5", "--y", "-2.5", "--ancho", "0x10", "--alto", "1e2"});
  EXPECT_EQ(s.codigo, 0);
  // pedido as asked; real as the window reads back, rounded: it refused the move.
  EXPECT_EQ(s.stdout_,
            "{\"ok\":true,\"pedido\":{\"alto\":100,\"ancho\":16,\"x\":1.5,\"y\":-2.5},\"pid\":42,"
            "\"real\":{\"alto\":100,\"ancho\":16,\"x\":11,\"y\":21},\"titulo\":\"Informe\"}\n");
  const std::string w = "/aplicaciones/0/ventanas/0";
  const Json tam = {{"ancho", 16}, {"alto", 100}}, pos = {{"x", 1.5}, {"y", -2.5}};
  const std::vector<Json> esperado = {
      fijar(w, "AXMinimized", false),
      fijar(w, "AXSize", tam),
      fijar(w, "AXPosition", pos, -25200),
      fijar(w, "AXSize", tam),
      fijar(w, "AXPosition", pos, -25200),
      fijar(w, "AXSize", tam),
      fijar(w, "AXPosition", pos, -25200),
      {{"evento", "accion"}, {"elemento", w}, {"accion", "AXRaise"}, {"resultado", 0}}};
  EXPECT_EQ(sinPausas(e.registro()), esperado);
  EXPECT_EQ(pausas(e.registro()), (std::vector<int64_t>{80000, 120000}));
  // Restored, so the window server lists it again, with its new size truncated.
  EXPECT_EQ(e.ax({"windows"}).json()["ventanas"][0]["marco"],
            (Json{{"x", 10}, {"y", 20}, {"ancho", 16}, {"alto", 100}}));
}

TEST(Colocar, OrdenDeEleccionDeLaVentana) {
  Json a = ventana("Correo entrante", 0, 0, 1, 1), b = ventana("Borrador", 0, 0, 1, 1),
       c = ventana("Ajustes", 0, 0, 1, 1);
  a["minimizado"] = true;
  struct Caso {
    std::vector<std::string> extra;
    bool conPrincipal;
    const char* titulo;
  };
  const std::vector<Caso> casos = {
      {{"--indice", "2"}, true, "Ajustes"},
      {{"--indice", "+0"}, true, "Correo entrante"},
      // An index out of range is ignored; the title is matched in any case, as a piece.
      {{"--indice", "5", "--titulo", "BORRA"}, true, "Borrador"},
      {{"--indice", "x", "--titulo", "entrante"}, true, "Correo entrante"},
      // A title that matches nothing: the main window.
      {{"--titulo", "nada"}, true, "Ajustes"},
      // No main window: the first one not minimised.
      {{"--titulo", "nada"}, false, "Borrador"},
  };
  for (const auto& c0 : casos) {
    Json cc = c;
    if (c0.conPrincipal) cc["principal"] = true;
    EscritorioDePrueba e(Json{{"aplicaciones", {app(7, "Correo", {a, b, cc})}}});
    std::vector<std::string> args{"place", "--x",    "5", "--y",   "6", "--ancho",
                                  "7",     "--alto", "8", "--pid", "7"};
    args.insert(args.end(), c0.extra.begin(), c0.extra.end());
    EXPECT_EQ(e.ax(args).json()["titulo"], c0.titulo) << c0.extra.front();
  }
  Json m1 = ventana("Uno", 0, 0, 1, 1), m2 = ventana("Dos", 0, 0, 1, 1);
  m1["minimizado"] = m2["minimizado"] = true;
  EscritorioDePrueba todas(Json{{"aplicaciones", {app(7, "Correo", {m1, m2})}}});
  EXPECT_EQ(todas.ax({"minimize", "--pid", "7"}).json()["minimizada"], "Uno");
}

TEST(Colocar, MensajesDeArgumentosYSinVentana) {
  EscritorioDePrueba e(
      Json{{"aplicaciones",
            {app(1, "Vacia", Json::array()), app(2, "Notas", {ventana("N", 0, 0, 1, 1)})}}});
  const std::vector<std::pair<std::vector<std::string>, std::string>> casos = {
      {{"place"}, "place necesita --pid"},
      {{"place", "--pid", "", "--x", "1"}, "place necesita --pid"},
      {{"place", "--pid", "2147483648"}, "place necesita --pid"},
      {{"place", "--x", "abc", "--pid"}, "place necesita --pid"},
      {{"place", "--pid", "2", "--x", "abc"}, "place necesita --x"},
      {{"place", "--pid", "2", "--x", "1", "--y", "nan", "--ancho", "1", "--alto", "1"},
       "place necesita --y"},
      {{"place", "--pid", "2", "--x", "1", "--y", "2", "--ancho", "3"}, "place necesita --alto"},
      {{"place", "--pid", "2", "--x", "1", "--y", "2", "--alto", "4", "--ancho"},
       "place necesita --ancho"},
      {{"place", "--pid", "1", "--x", "1", "--y", "2", "--ancho", "3", "--alto", "4"},
       "no encontré ventana de esa app"},
      {{"place", "--pid", "3", "--x", "1", "--y", "2", "--ancho", "3", "--alto", "4"},
       "no encontré ventana de esa app"},
      {{"minimize", "--pid", "-"}, "minimize necesita --pid"},
      {{"minimize", "--pid", "1"}, "no encontré ventana de esa app"},
      {{"focus", "--pid", "1.0"}, "focus necesita --pid"},
      {{"focus", "--pid", "99999999999"}, "no encontré el proceso 99999999999"},
      {{"focus", "--pid", "+0042"}, "no encontré el proceso 42"},
  };
  for (const auto& [args, mensaje] : casos) {
    EXPECT_TRUE(falla(e.ax(args), mensaje)) << args.front();
  }
  EXPECT_TRUE(e.registro().empty());
}

TEST(Minimizar, AceptadoSaleDeLaListaYRechazadoEsOkFalseConCodigoCero) {
  EscritorioDePrueba e(
      Json{{"aplicaciones",
            {app(5, "Vista", {ventana("Foto", 0, 0, 10, 10)}),
             app(6, "Terca", {conRechazo(ventana("Fija", 0, 0, 10, 10), {"AXMinimized"})})}}});
  auto s = e.ax({"minimize", "--pid", "5"});
  EXPECT_EQ(s.stdout_, "{\"minimizada\":\"Foto\",\"ok\":true}\n");
  EXPECT_EQ(s.codigo, 0);
  const auto lista = e.ax({"windows"}).json()["ventanas"];
  ASSERT_EQ(lista.size(), 1u);
  EXPECT_EQ(lista[0]["titulo"], "Fija");

  s = e.ax({"minimize", "--pid", "6", "--titulo", "fij"});
  EXPECT_EQ(s.stdout_, "{\"minimizada\":\"Fija\",\"ok\":false}\n");
  EXPECT_EQ(s.codigo, 0);
}

TEST(Enfocar, ActivaEsperaYLevantaLaVentanaDelTitulo) {
  Json v1 = ventana("Lista", 0, 0, 1, 1), v2 = ventana("Nota de hoy", 0, 0, 1, 1);
  v2["acciones"] = {"AXRaise"};
  EscritorioDePrueba e(
      Json{{"primer_plano", 8},
           {"aplicaciones",
            {app(8, "Safari", {ventana("Inicio", 0, 0, 1, 1)}), app(9, "Notas", {v1, v2})}}});
  auto s = e.ax({"focus", "--pid", "9", "--titulo", "NOTA"});
  EXPECT_EQ(s.stdout_, "{\"enfocada\":\"Notas\",\"ok\":true}\n");
  const std::vector<Json> esperado = {{{"evento", "activar"}, {"pid", 9}, {"resultado", true}},
                                      {{"evento", "pausa"}, {"us", 250000}},
                                      {{"evento", "accion"},
                                       {"elemento", "/aplicaciones/1/ventanas/1"},
                                       {"accion", "AXRaise"},
                                       {"resultado", 0}}};
  EXPECT_EQ(e.registro(), esperado);
  // Now in front: its windows head the list.
  EXPECT_EQ(e.ax({"windows"}).json()["ventanas"][0]["titulo"], "Lista");
  EXPECT_EQ(e.ax({"frontmost"}).json()["app"], "Notas");

  // A title that matches nothing still activates, and raises nothing.
  s = e.ax({"focus", "--pid", "8", "--titulo", "nada"});
  EXPECT_EQ(s.stdout_, "{\"enfocada\":\"Safari\",\"ok\":true}\n");
  EXPECT_EQ(e.registro().size(), esperado.size() + 2);
}

TEST(Info, ClavesEscalaYPunteroVolteado) {
  Json enfocada = ventana("Documento 1", 0, 0, 1, 1);
  enfocada["enfocada"] = true;
  EscritorioDePrueba e(
      Json{{"pantalla_principal",
            {{"limites", {{"x", 0}, {"y", 0}, {"ancho", 1440}, {"alto", 900}}},
             {"pixeles", {{"ancho", 2880}, {"alto", 1800}}}}},
           {"pantallas", {{{"marco", {{"x", 0}, {"y", 0}, {"ancho", 1440}, {"alto", 900}}}}}},
           // 0.8 down from the top is 899.2 up from the bottom: the flip gives 900 - 899.
           {"puntero", {{"x", 100.7}, {"y", 0.8}}},
           {"version_sistema", "Versión 14.2.1 (compilación 23C71)"},
           {"primer_plano", 3},
           {"aplicaciones", {app(3, "Pages", {ventana("Otra", 0, 0, 1, 1), enfocada})}}});
  auto s = e.ax({"info"});
  EXPECT_EQ(s.codigo, 0);
  EXPECT_EQ(s.stdout_,
            "{\"accesibilidad_concedida\":true,\"app_en_primer_plano\":\"Pages\","
            "\"bundle_en_primer_plano\":\"com.ejemplo.Pages\",\"cursor\":{\"x\":100,\"y\":1},"
            "\"escala\":2,\"macos\":\"Versión 14.2.1 (compilación 23C71)\",\"ok\":true,"
            "\"pantalla_concedida\":true,\"pantalla_pixeles\":{\"alto\":1800,\"ancho\":2880},"
            "\"pantalla_puntos\":{\"alto\":900,\"ancho\":1440},\"pid_en_primer_plano\":3,"
            "\"titulo_ventana\":\"Documento 1\"}\n");
}

TEST(Info, SinAppAlFrenteNiPermisos) {
  EscritorioDePrueba e(
      Json{{"pantalla_principal", {{"limites", {{"x", 0}, {"y", 0}, {"ancho", 0}, {"alto", 600}}}}},
           {"pantallas", {{{"marco", {{"x", 0}, {"y", 0}, {"ancho", 800}, {"alto", 600}}}}}},
           {"puntero", {{"x", -20}, {"y", 700}}},
           {"permisos", {{"accesibilidad", false}, {"pantalla", false}}}});
  auto s = e.ax({"info"});
  EXPECT_EQ(s.codigo, 0);
  // A zero-wide display has scale 1; a pointer off the main display is flipped all the same.
  EXPECT_EQ(s.stdout_,
            "{\"accesibilidad_concedida\":false,\"app_en_primer_plano\":\"?\","
            "\"bundle_en_primer_plano\":\"?\",\"cursor\":{\"x\":-20,\"y\":700},\"escala\":1,"
            "\"macos\":\"Escritorio simulado 1.0\",\"ok\":true,\"pantalla_concedida\":false,"
            "\"pantalla_pixeles\":{\"alto\":600,\"ancho\":0},"
            "\"pantalla_puntos\":{\"alto\":600,\"ancho\":0}}\n");

  // Accessibility denied: the focused window cannot be read, the rest is there.
  Json enfocada = ventana("Secreta", 0, 0, 1, 1);
  enfocada["enfocada"] = true;
  EscritorioDePrueba sinAx(Json{{"primer_plano", 3},
                                {"permisos", {{"accesibilidad", false}}},
                                {"aplicaciones", {app(3, "Pages", {enfocada})}}});
  const Json r2 = sinAx.ax({"info"}).json();
  EXPECT_EQ(r2["pid_en_primer_plano"], 3);
  EXPECT_FALSE(r2.contains("titulo_ventana"));
}

}  // namespace
}  // namespace tildo::prueba
