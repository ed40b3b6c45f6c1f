// Pointer commands on the real desktop: what an X client receives, and where the pointer ends.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <thread>

#include "escritorio_real.h"
#include "pantalla_x.h"

// Xlib last: its macros (None, Bool) clash with gtest.
#include <X11/Xlib.h>

namespace tildo::prueba {
namespace {

struct Puntero {
  int x, y;
  bool operator==(const Puntero&) const = default;
};

Puntero punteroEnRaiz() {
  const PantallaX pantalla;
  Window raiz, hijo;
  int x = 0, y = 0, wx, wy;
  unsigned estado;
  XQueryPointer(pantalla.d(), pantalla.raiz(), &raiz, &hijo, &x, &y, &wx, &wy, &estado);
  return {x, y};
}

void esperarSinError(const Salida& s, const std::string& respuesta) {
  EXPECT_EQ(s.stdout_, respuesta);
  EXPECT_EQ(s.stderr_, "");
  EXPECT_EQ(s.codigo, 0);
}

TEST(PunteroReal, MoveLlevaElPunteroAlPunto) {
  ClienteRegistro c;
  ASSERT_TRUE(c.listo());
  esperarSinError(ax({"move", "321", "123"}), "{\"movido\":{\"x\":321,\"y\":123},\"ok\":true}\n");
  EXPECT_EQ(punteroEnRaiz(), (Puntero{321, 123}));
  EXPECT_EQ(c.lineas("movimiento", 1).back(), "movimiento 321 123 0");
  // Fractions go to the nearest pixel; points off the screen stop at its edge.
  esperarSinError(ax({"move", "10.6", "20.4"}),
                  "{\"movido\":{\"x\":10.6,\"y\":20.4},\"ok\":true}\n");
  EXPECT_EQ(punteroEnRaiz(), (Puntero{11, 20}));
  ax({"move", "-50", "99999"});
  EXPECT_EQ(punteroEnRaiz(), (Puntero{0, 799}));
}

TEST(PunteroReal, LosPuntosCuentanDesdeElMonitorPrincipal) {
  principalALaDerecha();

  esperarSinError(ax({"move", "10", "20"}), "{\"movido\":{\"x\":10,\"y\":20},\"ok\":true}\n");
  EXPECT_EQ(punteroEnRaiz(), (Puntero{650, 120}));
  ax({"move", "-600", "-50"});
  EXPECT_EQ(punteroEnRaiz(), (Puntero{40, 50}));
}

TEST(PunteroReal, ClicsDeCadaBotonYVeces) {
  ClienteRegistro c;
  ASSERT_TRUE(c.listo());
  esperarSinError(ax({"click", "100", "200"}),
                  "{\"boton\":\"izquierdo\",\"clic\":{\"x\":100,\"y\":200},\"ok\":true,"
                  "\"veces\":1}\n");
  ax({"click", "101", "201", "--derecho"});
  ax({"click", "102", "202", "--medio", "--doble"});
  esperarSinError(ax({"click", "103", "203", "--triple"}),
                  "{\"boton\":\"izquierdo\",\"clic\":{\"x\":103,\"y\":203},\"ok\":true,"
                  "\"veces\":3}\n");
  const std::vector<std::string> esperado = {
      "pulsado 1 100 200", "soltado 1 100 200",                                            //
      "pulsado 3 101 201", "soltado 3 101 201",                                            //
      "pulsado 2 102 202", "soltado 2 102 202", "pulsado 2 102 202", "soltado 2 102 202",  //
      "pulsado 1 103 203", "soltado 1 103 203", "pulsado 1 103 203", "soltado 1 103 203",
      "pulsado 1 103 203", "soltado 1 103 203",
  };
  EXPECT_EQ(c.botones(esperado.size()), esperado);
}

// The buttons held down, as the core pointer's state says.
unsigned botonesAbajo() {
  const PantallaX pantalla;
  Window raiz, hijo;
  int x, y, wx, wy;
  unsigned estado = 0;
  XQueryPointer(pantalla.d(), pantalla.raiz(), &raiz, &hijo, &x, &y, &wx, &wy, &estado);
  return estado & (Button1Mask | Button2Mask | Button3Mask);
}

TEST(PunteroReal, ArrastreHastaElFinalYNingunBotonPulsadoSiLoCortan) {
  ClienteRegistro c;
  ASSERT_TRUE(c.listo());
  esperarSinError(ax({"drag", "100", "100", "400", "250"}),
                  "{\"arrastre\":{\"x1\":100,\"x2\":400,\"y1\":100,\"y2\":250},\"ok\":true}\n");
  c.lineas("soltado", 1);
  const auto eventos = c.lineas();
  ASSERT_FALSE(eventos.empty());
  EXPECT_EQ(eventos.back(), "soltado 1 400 250");
  const auto pulsado = std::find(eventos.begin(), eventos.end(), "pulsado 1 100 100");
  ASSERT_NE(pulsado, eventos.end());
  // Between press and release, motions with button 1 held (Button1Mask) walk to the end.
  std::vector<std::string> pasos(pulsado + 1, eventos.end() - 1);
  ASSERT_GE(pasos.size(), 2u);
  EXPECT_EQ(pasos.back(), "movimiento 400 250 256");
  for (const auto& p : pasos) EXPECT_EQ(p.substr(p.rfind(' ')), " 256") << p;
  EXPECT_EQ(pasos.front(), "movimiento 125 113 256");

  // A drag cut short lets go of the button: by itself on SIGTERM, through its guardian on
  // SIGKILL. The guardian goes with the run.
  for (int senal : {SIGTERM, SIGKILL}) {
    EnMarcha arrastre = axEnMarcha({"drag", "100", "100", "600", "600"});
    ASSERT_TRUE(hasta(
        2s, [] { return botonesAbajo() != 0; }, 2ms))
        << senal;
    const auto guardianes = hijos(arrastre.pid());
    ASSERT_EQ(guardianes.size(), 1u) << senal;
    kill(arrastre.pid(), senal);
    if (senal == SIGTERM)
      EXPECT_EQ(arrastre.linea(), "{\"error\":\"interrumpido por la señal SIGTERM\",\"ok\":false}");
    EXPECT_EQ(arrastre.fin(), senal == SIGTERM ? 1 : 128 + SIGKILL);
    EXPECT_TRUE(hasta(
        1s, [] { return botonesAbajo() == 0; }, 2ms))
        << senal;
    EXPECT_TRUE(hasta(1s, [&] { return !vivo(guardianes[0]); })) << senal;
  }
  // Every press had its release, and the pointer clicks as before.
  esperarSinError(
      ax({"click", "50", "60"}),
      "{\"boton\":\"izquierdo\",\"clic\":{\"x\":50,\"y\":60},\"ok\":true,\"veces\":1}\n");
  const auto botones = c.botones(8);
  ASSERT_EQ(botones.size(), 8u);
  for (size_t i = 0; i < botones.size(); i += 2) {
    EXPECT_EQ(botones[i].substr(0, 9), "pulsado 1") << i;
    EXPECT_EQ(botones[i + 1].substr(0, 9), "soltado 1") << i;
  }
  EXPECT_EQ(botones.back(), "soltado 1 50 60");
}

TEST(PunteroReal, ScrollConLasRuedas) {
  ClienteRegistro c;
  ASSERT_TRUE(c.listo());
  ax({"move", "50", "50"});
  // One wheel click per 50 pixels, a part counting whole.
  esperarSinError(ax({"scroll", "0", "-120"}), "{\"ok\":true,\"scroll\":{\"dx\":0,\"dy\":-120}}\n");
  ax({"scroll", "0", "1"});
  ax({"scroll", "60"});
  ax({"scroll", "-0.5", "-49.9"});
  ax({"scroll"});
  const std::vector<std::string> esperado = {
      "pulsado 5 50 50", "soltado 5 50 50", "pulsado 5 50 50", "soltado 5 50 50",
      "pulsado 5 50 50", "soltado 5 50 50",                                        // 0 -120
      "pulsado 4 50 50", "soltado 4 50 50",                                        // 0 1
      "pulsado 6 50 50", "soltado 6 50 50", "pulsado 6 50 50", "soltado 6 50 50",  // 60
      "pulsado 5 50 50", "soltado 5 50 50",  // -0.5 -49.9: dx truncates to 0
  };
  EXPECT_EQ(c.botones(esperado.size()), esperado);
}

TEST(PunteroReal, UnaPantallaQueRechazaLaConexionNoEscribeEnStderr) {
  // An X server that wants a cookie this client does not have: Xlib would explain why on
  // standard error.
  const CarpetaTemporal carpeta;
  const std::string cookies = carpeta / "servidor";
  ASSERT_EQ(
      sistema({"xauth", "-q", "-f", cookies, "add", ":0", ".", "00112233445566778899aabbccddeeff"}),
      0);
  const PantallaPropia servidor({"-auth", cookies});
  ASSERT_FALSE(servidor.nombre().empty());
  const auto s = correr("tildo-ax", {"move", "1", "2"},
                        {{"TILDO_ESCRITORIO", ""},
                         {"DISPLAY", servidor.nombre()},
                         {"XAUTHORITY", carpeta / "ninguna"}});
  EXPECT_EQ(s.stderr_, "");
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.json()["ok"], false);
}

}  // namespace
}  // namespace tildo::prueba
