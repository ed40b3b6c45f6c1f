// The watcher's filters on a clock the test sets, and its orders.
#include <gtest/gtest.h>

#include "common/json.h"
#include "ui/watcher/vigia.h"

namespace tildo::ui {
namespace {

using namespace std::chrono_literals;

class VigiaConReloj : public ::testing::Test {
 protected:
  Instante ahora{100s};
  Vigia vigia{[this] { return ahora; }};

  // The line printed for one event, "" for none.
  std::string linea(int tipo, double x = 0, double y = 0, uint16_t tecla = TECLA_DESCONOCIDA) {
    auto l = vigia.procesar(tipo, {tipo, {x, y}, tecla});
    return l ? *escribirJson(*l) : "";
  }
  std::string movido(double x, double y) { return linea(tipo::MOVIDO, x, y); }
};

TEST_F(VigiaConReloj, EnLaGraciaSoloSeOyeLoQueNoEsMovimiento) {
  EXPECT_EQ(movido(0, 0), "");
  ahora += 1999ms;
  EXPECT_EQ(movido(900, 900), "");
  EXPECT_EQ(linea(tipo::IZQUIERDO_ABAJO, 1, 2),
            R"({"boton":"izquierdo","evento":"clic","ok":true,"x":1,"y":2})");
  EXPECT_EQ(linea(tipo::TECLA_ABAJO), R"({"evento":"actividad","ok":true,"tipo":"teclado"})");
  EXPECT_EQ(linea(tipo::RUEDA, 3, 4),
            R"({"evento":"actividad","ok":true,"tipo":"scroll","x":3,"y":4})");
  // The grace leaves no last point behind: the first movement after it counts wherever it is.
  ahora += 1ms;
  EXPECT_EQ(movido(900, 902), R"({"evento":"actividad","ok":true,"tipo":"mouse","x":900,"y":902})");
}

TEST_F(VigiaConReloj, UnSaltoCuentaDesdeCincoPuntosYElUltimoPuntoSigueCadaMovimiento) {
  ahora += 3s;
  EXPECT_NE(movido(0, 0), "");
  ahora += 1s;
  EXPECT_EQ(movido(3, 3.99), "");  // 4.99 from (0, 0)
  ahora += 1s;
  EXPECT_EQ(movido(3, 8.98), "");  // 9 from (0, 0) but 4.99 from (3, 3.99)
  // Steps under 5 points never count, however far they go.
  for (int i = 1; i <= 100; ++i) {
    ahora += 1s;
    EXPECT_EQ(movido(3 + 4 * i, 8.98), "");
  }
  ahora += 1s;
  EXPECT_NE(movido(408, 8.98), "");  // exactly 5
}

TEST_F(VigiaConReloj, ComoMuchoUnaLineaDeMovimientoCadaCuartoDeSegundo) {
  ahora += 2s;
  EXPECT_NE(movido(0, 0), "");
  ahora += 100ms;
  EXPECT_EQ(movido(50, 0), "");
  ahora += 150ms;
  EXPECT_EQ(movido(100, 0), "");  // 0.25 s is not more than 0.25 s
  ahora += 50ms;
  EXPECT_NE(movido(150, 0), "");  // 0.3 s after the first
  // Keys, clicks and wheel steps are never held back.
  for (int i = 0; i < 3; ++i) {
    EXPECT_NE(linea(tipo::TECLA_ABAJO), "");
    EXPECT_NE(linea(tipo::OTRO_ABAJO), "");
    EXPECT_NE(linea(tipo::RUEDA), "");
  }
}

TEST_F(VigiaConReloj, LasCoordenadasSeRedondeanConLasMitadesLejosDelCero) {
  EXPECT_EQ(linea(tipo::OTRO_ABAJO, -2.5, -1e300),
            R"({"boton":"medio","evento":"clic","ok":true,"x":-3,"y":0})");
}

TEST_F(VigiaConReloj, SuprimidoSoloSeOyeEscape) {
  ahora += 3s;
  vigia.obedecer(Orden::suprimir);
  EXPECT_TRUE(vigia.estaSuprimido());
  EXPECT_EQ(linea(tipo::TECLA_ABAJO, 0, 0, TECLA_ESCAPE), R"({"evento":"escape","ok":true})");
  EXPECT_EQ(linea(tipo::TECLA_ABAJO, 0, 0, 0), "");
  EXPECT_EQ(linea(tipo::IZQUIERDO_ABAJO), "");
  EXPECT_EQ(linea(tipo::RUEDA), "");
  EXPECT_EQ(movido(500, 500), "");
  vigia.obedecer(Orden::ninguna);
  vigia.obedecer(Orden::suprimir);
  EXPECT_TRUE(vigia.estaSuprimido());
  vigia.obedecer(Orden::libre);
  EXPECT_FALSE(vigia.estaSuprimido());
  EXPECT_EQ(linea(tipo::TECLA_ABAJO, 0, 0, TECLA_ESCAPE), R"({"evento":"escape","ok":true})");
  EXPECT_NE(linea(tipo::TECLA_ABAJO), "");
  EXPECT_NE(movido(600, 600), "");
  // What the watcher does not listen for prints nothing.
  EXPECT_EQ(linea(tipo::IZQUIERDO_ARRIBA), "");
  EXPECT_EQ(linea(tipo::IZQUIERDO_ARRASTRADO, 700, 700), "");
}

TEST(UiOrdenes, RecortadasYEnMinusculas) {
  const std::vector<std::pair<Orden, std::vector<std::string>>> casos = {
      {Orden::suprimir, {"  SUPRIMIR  ", "Suprimir 3", "suprimirlo todo", "suprimir\xc3"}},
      {Orden::libre, {"\t\u00a0\u3000libre\u2003", "LIBRE"}},
      {Orden::salir, {"salir", "salir\r"}},
      {Orden::ninguna,
       {"Libre ya", "salir\r\r", "sal ir", "no suprimir", "", std::string("libre\0", 6),
        "\xff\xfe"}},
  };
  for (const auto& [orden, lineas] : casos)
    for (const auto& l : lineas) EXPECT_EQ(leerOrden(l), orden) << l;
}

}  // namespace
}  // namespace tildo::ui
