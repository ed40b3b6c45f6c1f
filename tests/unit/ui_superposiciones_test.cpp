// Where the ring and the neon hand go, the ring's options, clock and lines.
#include <gtest/gtest.h>

#include "common/fallo.h"
#include "common/json.h"
#include "ui/overlays/aro.h"
#include "ui/overlays/geometria.h"

namespace tildo::ui {
namespace {

const Rect PANTALLA{0, 0, 1280, 800};

void mismoRect(const Rect& r, double x, double y, double ancho, double alto) {
  EXPECT_DOUBLE_EQ(r.x, x);
  EXPECT_DOUBLE_EQ(r.y, y);
  EXPECT_DOUBLE_EQ(r.ancho, ancho);
  EXPECT_DOUBLE_EQ(r.alto, alto);
}

TEST(GeometriaDelAro, SinEtiquetaCentradoEnElPunto) {
  const auto m = marcoDelAro(500, 300, false, PANTALLA);
  // 800 − 300 = 500 from the bottom: the window spans 448..552 around it.
  mismoRect(m.ventana, 448, 448, 104, 104);
  EXPECT_DOUBLE_EQ(m.centro.x, 52);
  EXPECT_DOUBLE_EQ(m.centro.y, 52);
  // Near the bottom edge without a caption nothing moves.
  EXPECT_DOUBLE_EQ(marcoDelAro(500, 790, false, PANTALLA).desplazamiento, 52);
}

TEST(GeometriaDelAro, ConEtiquetaDebajoOEncimaCercaDelBorde) {
  auto m = marcoDelAro(500, 300, true, PANTALLA);
  mismoRect(m.ventana, 370, 408, 260, 144);
  EXPECT_DOUBLE_EQ(m.desplazamiento, 52);
  EXPECT_DOUBLE_EQ(m.centro.y, 92);
  // The ring's centre is still on the target: the window's top is 52 above it.
  EXPECT_DOUBLE_EQ(m.ventana.y + m.ventana.alto, 500 + 52);
  Rect caja = cajaDeEtiqueta(100, 260, m.centro);
  mismoRect(caja, 68, 6, 124, 34);  // its top 22 below the ring

  // 708 + 52 + 40 = 800 still fits; one more point does not.
  EXPECT_DOUBLE_EQ(marcoDelAro(500, 708, true, PANTALLA).desplazamiento, 52);
  m = marcoDelAro(500, 709, true, PANTALLA);
  EXPECT_DOUBLE_EQ(m.desplazamiento, 92);
  EXPECT_DOUBLE_EQ(m.centro.y, 52);
  EXPECT_DOUBLE_EQ(m.ventana.y + m.ventana.alto - 92, 800 - 709);
  caja = cajaDeEtiqueta(100, 260, m.centro);
  EXPECT_DOUBLE_EQ(caja.y, 52 + 30 + 18);  // above the ring
  EXPECT_LE(caja.y + caja.alto, 144);
}

TEST(GeometriaDelAro, UnaEtiquetaMasLargaQueLaVentanaOJuntoAUnLado) {
  Rect caja = cajaDeEtiqueta(900, 260, {130, 92});
  mismoRect(caja, 2, 6, 256, 34);
  // A box that would leave the view on either side stays 2 from it.
  EXPECT_DOUBLE_EQ(cajaDeEtiqueta(100, 260, {20, 92}).x, 2);
  EXPECT_DOUBLE_EQ(cajaDeEtiqueta(100, 260, {250, 92}).x, 260 - 124 - 2);
}

TEST(GeometriaDelAro, LaPantallaQueTieneElPuntoOLaPrincipal) {
  // The first screen 1280 × 800; a second one, 1024 × 768, to its right and 32 higher up.
  const std::vector<Rect> dos{{0, 0, 1280, 800}, {1280, 64, 1024, 768}};
  const Rect& principal = dos[0];
  // Each screen flips y against its own height, as the platform's test does.
  mismoRect(pantallaDelAro(100, 100, dos, principal), 0, 0, 1280, 800);
  mismoRect(pantallaDelAro(1500, 100, dos, principal), 1280, 64, 1024, 768);
  // 768 − 750 = 18 is below the second screen's bottom (64): no screen holds it.
  mismoRect(pantallaDelAro(1500, 750, dos, principal), 0, 0, 1280, 800);
  mismoRect(pantallaDelAro(-5, 100, dos, principal), 0, 0, 1280, 800);
  // The edge test uses the chosen screen's top: 64 + 768 = 832.
  EXPECT_DOUBLE_EQ(marcoDelAro(1500, 740, true, dos[1]).desplazamiento, 52);
  EXPECT_DOUBLE_EQ(marcoDelAro(1500, 741, true, dos[1]).desplazamiento, 92);
}

TEST(GeometriaDelAro, ElHaloRespiraEntre34Y42CadaSegundoYMedio) {
  EXPECT_NEAR(radioDelHalo(0), 38, 1e-9);
  EXPECT_NEAR(radioDelHalo(0.3), 42, 1e-9);
  EXPECT_NEAR(radioDelHalo(0.9), 34, 1e-9);
  EXPECT_NEAR(radioDelHalo(1.5), 42, 1e-9);
  for (double t = 0; t < 3; t += 1.0 / 60) {
    EXPECT_GE(pulso(t), 0);
    EXPECT_LE(pulso(t), 1);
  }
}

// The ring keeps one drawing per phase: ticks of one phase must pulse alike, ticks of two
// phases differently, for as long as a ring lives and with t summed tick by tick.
TEST(GeometriaDelAro, CadaFaseDelPulsoEsUnSoloDibujo) {
  std::vector<double> pulsoDeFase(FASES_DEL_PULSO, -1);
  double t = 0;
  for (int n = 0; n < 60 * 600; ++n, t += 1.0 / 60) {
    const int fase = faseDelPulso(t);
    ASSERT_GE(fase, 0);
    ASSERT_LT(fase, FASES_DEL_PULSO);
    if (pulsoDeFase[fase] < 0) pulsoDeFase[fase] = pulso(t);
    ASSERT_NEAR(pulso(t), pulsoDeFase[fase], 1e-9) << "tic " << n;
  }
  EXPECT_EQ(faseDelPulso(0.3), 0);
  EXPECT_EQ(faseDelPulso(0.9), FASES_DEL_PULSO - 1);
  for (int a = 0; a < FASES_DEL_PULSO; ++a)
    for (int b = a + 1; b < FASES_DEL_PULSO; ++b)
      EXPECT_GT(std::abs(pulsoDeFase[a] - pulsoDeFase[b]), 1e-4) << a << " " << b;
}

TEST(GeometriaDelCursor, ElPuntoCalienteSobreElPunteroYLosCuadros) {
  const Punto o = origenDelCursor({500, 300});
  EXPECT_DOUBLE_EQ(o.x, 480);
  EXPECT_DOUBLE_EQ(o.y, 259);
  EXPECT_EQ(siguienteCuadro(0, 0), 0u);
  EXPECT_EQ(siguienteCuadro(0, 1), 0u);
  size_t i = 0;
  std::vector<size_t> vistos;
  for (int n = 0; n < 5; ++n) vistos.push_back(i = siguienteCuadro(i, 4));
  EXPECT_EQ(vistos, (std::vector<size_t>{1, 2, 3, 0, 1}));
  EXPECT_FALSE(cuadrosAnimados(0));
  EXPECT_FALSE(cuadrosAnimados(1));
  EXPECT_TRUE(cuadrosAnimados(2));
}

TEST(OpcionesDelAro, PosicionalesBanderasYValoresPorDefecto) {
  auto o = opcionesDelAro(argumentosDeUi({"500", "300"}));
  EXPECT_EQ(o.x, 500);
  EXPECT_EQ(o.y, 300);
  EXPECT_EQ(o.segundos, 8);
  EXPECT_EQ(o.etiqueta, "");
  // The flags' values are not positional numbers; two positionals win over the flags.
  o = opcionesDelAro(
      argumentosDeUi({"--x", "500.9", "--y", "300.2", "--segundos", "2", "--etiqueta", "Aquí"}));
  EXPECT_EQ(o.x, 500.9);
  EXPECT_EQ(o.y, 300.2);
  EXPECT_EQ(o.segundos, 2);
  EXPECT_EQ(o.etiqueta, "Aquí");
  EXPECT_EQ(opcionesDelAro(argumentosDeUi({"--x", "1", "7", "8"})).x, 7);
  // One positional number alone does not count.
  EXPECT_EQ(opcionesDelAro(argumentosDeUi({"7", "--x", "1"})).x, 1);
  o = opcionesDelAro(argumentosDeUi({"--x", "diez", "--y", "", "--segundos", "pronto"}));
  EXPECT_EQ(o.x, 0);
  EXPECT_EQ(o.y, 0);
  EXPECT_EQ(o.segundos, 8);
  EXPECT_EQ(opcionesDelAro(argumentosDeUi({"--segundos", "-1"})).segundos, -1);
}

TEST(OpcionesDelAro, CoordenadasQueNoSePuedenDecirComoEnteros) {
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"inf", "3"}, {"3", "nan"}, {"--x", "-inf"}, {"--y", "nan"}, {"1e300", "0"}})
    EXPECT_THROW(opcionesDelAro(argumentosDeUi(args)), Fallo) << args[0] << " " << args[1];
}

TEST(Aro, ElPulsoPorTicsYLaVidaPorElReloj) {
  Aro aro(opcionesDelAro(argumentosDeUi({"--x", "500.9", "--y", "-300.2", "--segundos", "2"})),
          100);
  EXPECT_FALSE(aro.tic(100.5));
  EXPECT_FALSE(aro.tic(102.0));
  EXPECT_TRUE(aro.tic(102.01));
  EXPECT_DOUBLE_EQ(aro.t, 3.0 / 60);  // however long the ticks took
  EXPECT_EQ(escribirJson(lineaDeAroListo(aro)),
            R"({"aro":{"x":500,"y":-300},"listo":true,"ok":true})");
  EXPECT_EQ(escribirJson(lineaDeCursorListo(4)),
            R"({"cuadros":4,"cursor":true,"listo":true,"ok":true})");

  Aro yaTerminado(opcionesDelAro(argumentosDeUi({"--segundos", "0"})), 100);
  EXPECT_TRUE(yaTerminado.tic(100.001));
}

}  // namespace
}  // namespace tildo::ui
