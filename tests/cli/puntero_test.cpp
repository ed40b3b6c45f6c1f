// Pointer commands on the simulated desktop: replies, event logs, pauses and pointer state.
#include <gtest/gtest.h>

#include "programa.h"

namespace tildo::prueba {
namespace {

Json raton(int tipo, double x, double y, int boton = 0) {
  return {{"evento", "raton"}, {"tipo", tipo}, {"x", x}, {"y", y}, {"boton", boton}};
}

TEST(Puntero, MoveMueveYRecuerdaElPuntero) {
  EscritorioDePrueba e(Json{{"puntero", {{"x", 0}, {"y", 0}}}});
  auto s = e.ax({"move", "-5", "1e3", "7"});
  EXPECT_EQ(s.stdout_, "{\"movido\":{\"x\":-5,\"y\":1000},\"ok\":true}\n");
  EXPECT_EQ(s.codigo, 0);
  EXPECT_EQ(e.registro(), std::vector<Json>{raton(5, -5, 1000)});
  EXPECT_EQ(e.descripcion()["puntero"], (Json{{"x", -5}, {"y", 1000}}));
}

TEST(Puntero, MoveRechazaLoQueNoEsUnNumero) {
  EscritorioDePrueba e;
  for (const std::vector<std::string>& args : {std::vector<std::string>{"move", "10"},
                                               {"move", "10", "abc"},
                                               {"move", " 10", "2"},
                                               {"move", "nan", "2"},
                                               {"move", "1", "inf"}}) {
    auto s = e.ax(args);
    EXPECT_TRUE(falla(s, "move necesita x y"));
  }
  EXPECT_TRUE(e.registro().empty());
}

TEST(Puntero, ClicsDeCadaBotonYCuenta) {
  struct Caso {
    std::vector<std::string> extra;
    int abajo, arriba, boton, veces;
    const char* nombre;
    std::vector<int64_t> pausas;
  };
  const std::vector<Caso> casos = {
      {{}, 1, 2, 0, 1, "izquierdo", {60000, 40000}},
      {{"--doble"}, 1, 2, 0, 2, "izquierdo", {60000, 40000, 80000, 40000}},
      {{"--medio", "--triple"}, 25, 26, 2, 3, "medio", {60000, 40000, 80000, 40000, 80000, 40000}},
      {{"--derecho", "--medio", "--doble", "--triple"},
       3,
       4,
       1,
       3,
       "derecho",
       {60000, 40000, 80000, 40000, 80000, 40000}},
  };
  for (const auto& c : casos) {
    EscritorioDePrueba e;
    std::vector<std::string> args{"click", "10.5", "20"};
    args.insert(args.end(), c.extra.begin(), c.extra.end());
    auto s = e.ax(args);
    EXPECT_EQ(s.json(), (Json{{"ok", true},
                              {"clic", {{"x", 10.5}, {"y", 20}}},
                              {"veces", c.veces},
                              {"boton", c.nombre}}));
    std::vector<Json> esperado{raton(5, 10.5, 20)};
    for (int i = 0; i < c.veces; ++i) {
      esperado.push_back(raton(c.abajo, 10.5, 20, c.boton));
      esperado.push_back(raton(c.arriba, 10.5, 20, c.boton));
    }
    EXPECT_EQ(sinPausas(e.registro()), esperado) << c.nombre;
    EXPECT_EQ(pausas(e.registro()), c.pausas);
  }
}

TEST(Puntero, ArrastreDeDocePasos) {
  EscritorioDePrueba e;
  auto s = e.ax({"drag", "0", "0", "120", "60"});
  EXPECT_EQ(s.stdout_, "{\"arrastre\":{\"x1\":0,\"x2\":120,\"y1\":0,\"y2\":60},\"ok\":true}\n");
  const auto eventos = sinPausas(e.registro());
  ASSERT_EQ(eventos.size(), 15u);
  EXPECT_EQ(eventos[0], raton(5, 0, 0));
  EXPECT_EQ(eventos[1], raton(1, 0, 0));
  for (int i = 1; i <= 12; ++i) EXPECT_EQ(eventos[1 + i], raton(6, 10.0 * i, 5.0 * i));
  EXPECT_EQ(eventos[14], raton(2, 120, 60));
  std::vector<int64_t> esperadas{90000};
  esperadas.insert(esperadas.end(), 12, 14000);
  EXPECT_EQ(pausas(e.registro()), esperadas);
  EXPECT_EQ(e.descripcion()["puntero"], (Json{{"x", 120}, {"y", 60}}));
  EXPECT_EQ(e.ax({"drag", "0", "0", "1"}).json()["error"], "drag necesita x1 y1 x2 y2");
}

TEST(Puntero, ScrollHorizontalPrimeroYTruncado) {
  auto rueda = [](int r1, int r2) {
    return Json{{"evento", "rueda"}, {"unidades", 0}, {"ruedas", 2},
                {"rueda1", r1},      {"rueda2", r2},  {"rueda3", 0}};
  };
  struct Caso {
    std::vector<std::string> args;
    const char* respuesta;
    int r1, r2;
  };
  for (const auto& c : std::vector<Caso>{
           {{"scroll", "5"}, "{\"ok\":true,\"scroll\":{\"dx\":5,\"dy\":0}}\n", 0, 5},
           {{"scroll"}, "{\"ok\":true,\"scroll\":{\"dx\":0,\"dy\":0}}\n", 0, 0},
           {{"scroll", "2.9", "-1.9"},
            "{\"ok\":true,\"scroll\":{\"dx\":2.9,\"dy\":-1.9}}\n",
            -1,
            2},
           {{"scroll", "abc", "nan"}, "{\"ok\":true,\"scroll\":{\"dx\":0,\"dy\":0}}\n", 0, 0}}) {
    EscritorioDePrueba e;
    auto s = e.ax(c.args);
    EXPECT_EQ(s.stdout_, c.respuesta);
    EXPECT_EQ(e.registro(), std::vector<Json>{rueda(c.r1, c.r2)});
  }
  EscritorioDePrueba e;
  auto s = e.ax({"scroll", "0", "3e9"});
  EXPECT_TRUE(falla(s, "scroll necesita cantidades entre -2147483648 y 2147483647"));
  EXPECT_TRUE(e.registro().empty());
}

}  // namespace
}  // namespace tildo::prueba
