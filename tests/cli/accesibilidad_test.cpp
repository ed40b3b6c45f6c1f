// Applications, the tree walk, element search and actions on the simulated desktop.
#include <gtest/gtest.h>

#include "programa.h"

namespace tildo::prueba {
namespace {

Json boton(const std::string& titulo, double x = 100, double y = 50) {
  return {{"rol", "AXButton"},
          {"titulo", titulo},
          {"acciones", {"AXPress"}},
          {"posicion", {{"x", x}, {"y", y}}},
          {"medidas", {{"ancho", 41}, {"alto", 21}}}};
}

Json app(int pid, const std::string& nombre, const std::string& bundle, Json hijos) {
  return {{"pid", pid},
          {"nombre", nombre},
          {"bundle", bundle},
          {"arbol", {{"rol", "AXApplication"}, {"titulo", nombre}, {"hijos", std::move(hijos)}}}};
}

Json escritorio(Json hijos, int frente = 42) {
  return {{"primer_plano", frente},
          {"aplicaciones",
           {app(7, "Finder", "com.apple.finder", Json::array()),
            app(42, "Notas", "com.apple.Notes", std::move(hijos))}}};
}

// count elements nested one below the other, the deepest one carrying the text.
Json anidado(int niveles, Json hoja) {
  Json e = std::move(hoja);
  for (int i = 0; i < niveles; ++i) e = {{"rol", "AXGroup"}, {"hijos", {e}}};
  return e;
}

TEST(Aplicaciones, FrontmostYBusquedaPorPidNombreYBundle) {
  EscritorioDePrueba e(escritorio(Json::array()));
  EXPECT_EQ(e.ax({"frontmost"}).stdout_,
            "{\"app\":\"Notas\",\"bundle\":\"com.apple.Notes\",\"ok\":true}\n");
  auto pidDe = [&](const std::string& app) {
    return e.ax({"ax-tree", "--app", app, "--depth", "0"}).json()["pid"];
  };
  EXPECT_EQ(pidDe(""), 42);
  EXPECT_EQ(pidDe("+0007"), 7);
  EXPECT_EQ(pidDe("FINDER"), 7);
  EXPECT_EQ(pidDe("COM.APPLE.NOTES"), 42);
  EXPECT_EQ(pidDe("o"), 7);  // "com.apple.finder" comes first and contains it
  auto s = e.ax({"ax-tree", "--app", "123"});
  EXPECT_TRUE(falla(s, "no hay ningún proceso con pid 123"));
  s = e.ax({"ax-focus", "--app", "99999999999"});
  EXPECT_EQ(s.json()["error"], "no encontré ninguna app que coincida con «99999999999»");

  EscritorioDePrueba vacio(Json{{"aplicaciones", Json::array()}});
  s = vacio.ax({"frontmost"});
  EXPECT_TRUE(falla(s, "no pude leer la app en primer plano"));
}

TEST(Arbol, TopeProfundidadYLoQueSeLista) {
  Json muchos = Json::array();
  for (int i = 0; i < 401; ++i) muchos.push_back({{"rol", "AXStaticText"}});
  EscritorioDePrueba e(escritorio(muchos));
  auto r = e.ax({"ax-tree"}).json();
  EXPECT_EQ(r["total"], 400);
  EXPECT_EQ(r["elementos"].size(), 400u);
  EXPECT_EQ(r["pid"], 42);
  EXPECT_EQ(e.ax({"ax-tree", "--max", "1"}).json()["total"], 1);
  EXPECT_EQ(e.ax({"ax-tree", "--max", "-1"}).json()["total"], 0);
  EXPECT_EQ(e.ax({"ax-tree", "--depth", "-3"}).json()["total"], 1);
  EXPECT_EQ(e.ax({"ax-tree", "--depth", "abc", "--max", "1000"}).json()["total"], 402);

  EscritorioDePrueba arbol(escritorio({
      {{"rol", "AXGroup"},
       {"ayuda", "solo ayuda"},
       {"subrol", "AXX"},
       {"hijos", {{{"rol", "AXGroup"}, {"hijos", {boton("Guardar")}}}}}},
      {{"rol", "AXStaticText"}},
      {{"rol", "AXSecureTextField"}, {"valor", "secreto"}},
      {{"rol", "AXCheckBox"}, {"valor", 1}},
      {{"rol", "AXSlider"}, {"valor", 0.5}},
      anidado(7, {{"rol", "AXStaticText"}, {"titulo", "hondo"}}),
  }));
  const auto nodos = arbol.ax({"ax-tree"}).json()["elementos"];
  ASSERT_EQ(nodos.size(), 6u);
  EXPECT_EQ(nodos[1], (Json{{"acciones", {"AXPress"}},
                            {"alto", 21},
                            {"ancho", 41},
                            {"cx", 121},
                            {"cy", 61},
                            {"nivel", 3},
                            {"rol", "AXButton"},
                            {"titulo", "Guardar"},
                            {"x", 100},
                            {"y", 50}}));
  EXPECT_EQ(nodos[2], (Json{{"acciones", Json::array()}, {"nivel", 1}, {"rol", "AXStaticText"}}));
  EXPECT_EQ(nodos[3]["valor"], "secreto");
  EXPECT_EQ(nodos[4]["valor"], "1");
  EXPECT_EQ(nodos[5]["valor"], "0.5");
  // The text seven groups down sits at level 8, beyond the default depth.
  auto hondo = arbol.ax({"ax-tree", "--depth", "8"}).json();
  EXPECT_EQ(hondo["elementos"].back()["titulo"], "hondo");
  EXPECT_EQ(hondo["elementos"].back()["nivel"], 8);
}

TEST(Arbol, RedondeoCorteYEstados) {
  std::string emojis;
  for (int i = 0; i < 450; ++i) emojis += "\U0001F469\u200D\U0001F4BB";  // one cluster each
  EscritorioDePrueba e(escritorio({
      {{"rol", "AXTextArea"},
       {"valor", std::string(1000, 'a')},
       {"habilitado", false},
       {"enfocado", false},
       {"posicion", {{"x", -2.5}, {"y", 2.5}}},
       {"medidas", {{"ancho", 0}, {"alto", 0}}}},
      {{"rol", "AXTextArea"}, {"valor", emojis}, {"enfocado", true}},
      {{"rol", "AXTextField"}, {"valor", ""}, {"titulo", "Nombre"}},
  }));
  const auto nodos = e.ax({"ax-tree"}).json()["elementos"];
  EXPECT_EQ(nodos[1]["valor"], std::string(400, 'a'));
  EXPECT_EQ(nodos[1]["habilitado"], false);
  EXPECT_FALSE(nodos[1].contains("enfocado"));
  EXPECT_EQ(nodos[1]["x"], -3);
  EXPECT_EQ(nodos[1]["y"], 3);
  EXPECT_EQ(nodos[1]["ancho"], 0);
  EXPECT_FALSE(nodos[1].contains("cx"));
  EXPECT_EQ(nodos[2]["valor"], emojis.substr(0, emojis.size() / 450 * 400));
  EXPECT_EQ(nodos[2]["enfocado"], true);
  EXPECT_FALSE(nodos[3].contains("valor"));
}

TEST(Buscar, ConsultaTotalYVeinticinco) {
  Json hijos = Json::array();
  for (int i = 0; i < 40; ++i) hijos.push_back(boton("Abrir archivo " + std::to_string(i)));
  hijos.push_back({{"rol", "AXButton"}, {"titulo", "Cerrar"}});
  hijos.push_back({{"rol", "AXTextArea"}, {"valor", std::string(400, 'x') + "abrir archivo"}});
  EscritorioDePrueba e(escritorio(hijos));
  auto s = e.ax({"ax-find", "ABRIR", "archivo", "--max", "1000"});
  auto r = s.json();
  EXPECT_EQ(r["consulta"], "abrir archivo");
  EXPECT_EQ(r["total"], 40);
  EXPECT_EQ(r["elementos"].size(), 25u);
  EXPECT_EQ(r["elementos"][24]["titulo"], "Abrir archivo 24");
  EXPECT_FALSE(r.contains("pid"));
  EXPECT_EQ(e.ax({"ax-find", "--name", "button"}).json()["total"], 0);
  s = e.ax({"ax-find", "--app", "notas"});
  EXPECT_TRUE(falla(s, "ax-find necesita --name"));
}

TEST(Pulsar, AXPressOClicEnElCentro) {
  EscritorioDePrueba e(escritorio({
      boton("Guardar cambios", 100.4, 50),
      {{"rol", "AXStaticText"},
       {"titulo", "Ayuda"},
       {"posicion", {{"x", 10}, {"y", 10}}},
       {"medidas", {{"ancho", 20}, {"alto", 10}}}},
      {{"rol", "AXButton"},
       {"titulo", "Roto"},
       {"acciones", {"AXPress"}},
       {"acciones_fallidas", {"AXPress"}},
       {"posicion", {{"x", 0}, {"y", 0}}},
       {"medidas", {{"ancho", 10}, {"alto", 10}}}},
  }));
  auto s = e.ax({"ax-click", "--app", "notas", "GUARDAR"});
  EXPECT_EQ(s.stdout_,
            "{\"app\":\"Notas\",\"encontrado\":\"guardar\",\"metodo\":\"AXPress\",\"ok\":true,"
            "\"x\":120,\"y\":60}\n");
  EXPECT_EQ(e.registro(),
            (std::vector<Json>{
                {{"evento", "pausa"}, {"us", 120000}},
                {{"evento", "raton"}, {"tipo", 5}, {"x", 120.9}, {"y", 60.5}, {"boton", 0}},
                {{"evento", "pausa"}, {"us", 90000}},
                {{"evento", "accion"},
                 {"elemento", "/aplicaciones/1/arbol/hijos/0"},
                 {"accion", "AXPress"},
                 {"resultado", 0}}}));

  EscritorioDePrueba texto(e.descripcion());
  auto r = texto.ax({"ax-click", "ayuda"}).json();
  EXPECT_EQ(r, (Json{{"app", "Notas"},
                     {"encontrado", "ayuda"},
                     {"metodo", "clic-en-centro"},
                     {"ok", true},
                     {"quieto", true},
                     {"x", 20},
                     {"y", 15}}));
  const auto eventos = sinPausas(texto.registro());
  ASSERT_EQ(eventos.size(), 4u);
  EXPECT_EQ(eventos[2]["tipo"], 1);
  EXPECT_EQ(eventos[3]["tipo"], 2);
  EXPECT_EQ(pausas(texto.registro()), (std::vector<int64_t>{120000, 90000, 60000, 40000}));

  EscritorioDePrueba roto(e.descripcion());
  r = roto.ax({"ax-click", "roto"}).json();
  EXPECT_EQ(r["metodo"], "clic-en-centro");
  EXPECT_EQ(roto.registro()[3]["resultado"], -25200);
}

TEST(Pulsar, ElementoQueSeMueveSinPosicionOHondo) {
  Json posiciones = Json::array();
  for (int i = 0; i < 10; ++i) posiciones.push_back({{"x", 10.0 * i}, {"y", 0}});
  EscritorioDePrueba e(escritorio({
      {{"rol", "AXButton"},
       {"titulo", "Volando"},
       {"posiciones", posiciones},
       {"medidas", {{"ancho", 10}, {"alto", 10}}}},
      {{"rol", "AXButton"}, {"titulo", "Fantasma"}, {"acciones", {"AXPress"}}},
      anidado(8, {{"rol", "AXButton"}, {"titulo", "Sótano"}}),
      anidado(7, boton("Bodega")),
  }));
  // The walk takes the first position; the six readings of the wait the next six.
  auto r = e.ax({"ax-click", "volando"}).json();
  EXPECT_EQ(r["quieto"], false);
  EXPECT_EQ(r["x"], 65);
  std::vector<int64_t> esperadas(6, 120000);
  esperadas.insert(esperadas.end(), {90000, 60000, 40000});
  EXPECT_EQ(pausas(e.registro()), esperadas);

  auto s = e.ax({"ax-click", "fantasma"});
  EXPECT_TRUE(falla(s, "encontré «fantasma» pero no pude leer su posición"));
  s = e.ax({"ax-click", "sótano"});
  EXPECT_EQ(s.json()["error"], "no encontré ningún elemento que diga «sótano» en Notas");
  EXPECT_EQ(e.ax({"ax-click", "bodega"}).json()["metodo"], "AXPress");
  s = e.ax({"ax-click", "--app", "notas"});
  EXPECT_EQ(s.json()["error"], "ax-click necesita el nombre del elemento");
}

TEST(FocoYPunto, RegistrosSueltos) {
  Json d = escritorio({{{"rol", "AXWindow"},
                        {"titulo", "Nota"},
                        {"posicion", {{"x", 0}, {"y", 0}}},
                        {"medidas", {{"ancho", 800}, {"alto", 600}}},
                        {"hijos",
                         {boton("Guardar"),
                          {{"rol", "AXTextField"},
                           {"pista", "Buscar"},
                           {"enfocado", true},
                           {"posicion", {{"x", 10.5}, {"y", 20.4}}},
                           {"medidas", {{"ancho", 0}, {"alto", 0}}}}}}}});
  d["aplicaciones"][0]["arbol"]["hijos"] = {boton("Detrás", 100, 50)};
  EscritorioDePrueba e(d);
  EXPECT_EQ(e.ax({"ax-focus"}).stdout_,
            "{\"acciones\":[],\"app\":\"Notas\",\"bundle\":\"com.apple.Notes\",\"enfocado\":true,"
            "\"hay_foco\":true,\"ok\":true,\"padre_rol\":\"AXWindow\",\"pista\":\"Buscar\","
            "\"rol\":\"AXTextField\",\"x\":11,\"y\":20}\n");
  EXPECT_EQ(
      e.ax({"ax-focus", "--app", "finder"}).stdout_,
      "{\"app\":\"Finder\",\"bundle\":\"com.apple.finder\",\"hay_foco\":false,\"ok\":true}\n");

  // The frontmost application is asked first, its deepest element wins.
  auto r = e.ax({"ax-at", "120", "60"}).json();
  EXPECT_EQ(r["titulo"], "Guardar");
  EXPECT_EQ(r["padre_rol"], "AXWindow");
  EXPECT_EQ(r["encontrado"], true);
  EXPECT_EQ(e.ax({"ax-at", "900", "60"}).json()["encontrado"], false);
  EXPECT_EQ(e.ax({"ax-at", "-10.5", "20.9"}).stdout_,
            "{\"encontrado\":false,\"ok\":true,\"x\":-10,\"y\":20}\n");
  EXPECT_EQ(e.ax({"ax-at", "nan", "1e40"}).stdout_, "{\"encontrado\":false,\"ok\":true}\n");
  auto s = e.ax({"ax-at", "10"});
  EXPECT_TRUE(falla(s, "ax-at necesita x y"));

  d["permisos"] = {{"accesibilidad", false}};
  EscritorioDePrueba sinPermiso(d);
  EXPECT_EQ(sinPermiso.ax({"ax-tree"}).json()["elementos"],
            (Json{{{"acciones", Json::array()}, {"nivel", 0}, {"rol", ""}}}));
  EXPECT_EQ(sinPermiso.ax({"ax-at", "120", "60"}).json()["encontrado"], false);
}

}  // namespace
}  // namespace tildo::prueba
