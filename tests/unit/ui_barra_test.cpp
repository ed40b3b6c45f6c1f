// The control bar's logic against fakes of its screens, processes, clock and panel: layout,
// placement and the position file, and the heartbeat's decisions over scripted beats.
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "common/archivos.h"
#include "common/texto.h"
#include "ui/bar/barra.h"
#include "ui/bar/leer_posicion.h"
#include "ui/bar/posicion.h"
#include "ui/frame/ajustes.h"
#include "ui/frame/constantes.h"

namespace tildo::ui {
namespace {

class ProcesosFalsos : public Procesos {
 public:
  int32_t mio = 500;
  std::vector<int32_t> barras{500};
  std::vector<int32_t> vivos{500};
  bool tildo = true;
  int busquedasDeBarras = 0;

  int32_t mioPid() override { return mio; }
  std::vector<int32_t> pidsDeBarras() override {
    ++busquedasDeBarras;
    return barras;
  }
  bool hayTildoCorriendo() override { return tildo; }
  bool vive(int32_t pid) override {
    return std::find(vivos.begin(), vivos.end(), pid) != vivos.end();
  }
};

// One 1280 × 800 screen whose visible frame loses 40 at the bottom (a dock) and 30 at the top.
class PantallasFalsas : public PantallasDeBarra {
 public:
  std::vector<Pantalla> lista{{{0, 0, 1280, 800}, {0, 40, 1280, 730}}};
  bool boton = false;
  std::vector<Pantalla> pantallas() override { return lista; }
  std::optional<Pantalla> principal() override {
    if (lista.empty()) return std::nullopt;
    return lista.front();
  }
  bool hayBotonPulsado() override { return boton; }
};

class RelojFalso : public Reloj {
 public:
  double t = 1000;
  double ahora() override { return t; }
};

// Every label is 8 points per user-perceived character.
class PanelFalso : public Panel {
 public:
  Rect m{0, 0, 120, 60};
  bool esVisible = false;
  std::optional<Disposicion> ultima;
  std::string pista;

  Rect marco() override { return m; }
  void moverA(const Punto& o) override { m.x = o.x, m.y = o.y; }
  void aplicar(const Disposicion& d) override {
    m = d.marco;
    ultima = d;
  }
  void ponerPista(const std::string& p) override { pista = p; }
  bool visible() override { return esVisible; }
  void mostrar() override { esVisible = true; }
  void ocultar() override { esVisible = false; }
  double anchoDeEtiqueta(const std::string& e) override { return 8.0 * contarGrafemas(e); }
};

class UiBarra : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("TILDO_UI_DEBUG", "1", 1);
    setenv("LANG", "es_ES.UTF-8", 1);
  }
  void TearDown() override {
    std::filesystem::remove_all(raiz_);
    unsetenv("TILDO_UI_DEBUG");
  }
  static std::string carpetaNueva() {
    char plantilla[] = "/tmp/tildo-barra-XXXXXX";
    return mkdtemp(plantilla);
  }

  // Launches a bar; what it traced.
  std::string arrancar() {
    ::testing::internal::CaptureStderr();
    ::testing::internal::CaptureStdout();
    EXPECT_TRUE(barra.puedoArrancar());
    barra.arrancar(panel);
    listo_ = ::testing::internal::GetCapturedStdout();
    return ::testing::internal::GetCapturedStderr();
  }
  // Beats until the bar leaves or n beats have passed; the trace, and whether it still runs.
  using Latidos = std::pair<std::string, bool>;
  Latidos latir(int n = 1, double paso = 0.7) {
    ::testing::internal::CaptureStderr();
    bool sigue = true;
    for (int i = 0; i < n && sigue; ++i) {
      reloj.t += paso;
      sigue = barra.latido();
    }
    return {::testing::internal::GetCapturedStderr(), sigue};
  }
  std::string leer(const std::string& ruta) { return leerArchivo(ruta).value_or("<nada>"); }
  void escribir(const std::string& ruta, const std::string& texto) { escribirAtomico(ruta, texto); }

  std::string raiz_ = carpetaNueva();
  const Rutas rutas_ = calcularRutas("/h", raiz_, "/x/bin/tildo-ui", "/");
  std::string listo_;
  ProcesosFalsos procesos;
  PantallasFalsas pantallas;
  RelojFalso reloj;
  PanelFalso panel;
  Barra barra{procesos, pantallas, reloj, rutas_};
};

TEST_F(UiBarra, PrimerArranqueCompactaEnSuSitioPorDefecto) {
  const std::string traza = arrancar();
  EXPECT_EQ(listo_, R"({"barra":true,"compacta":true,"listo":true,"ok":true})"
                    "\n");
  EXPECT_EQ(traza,
            "[tildo-ui] arrancando la barra\n"
            "[tildo-ui] barra lista: pid 500, compacta=true, marco=(7.0, 70.0, 44.0, 72.0)\n");
  // 28 wide inside, one visible row (the "+" button): 44 × 72, grown upward from the default.
  const Disposicion& d = *panel.ultima;
  EXPECT_TRUE(d.haciaArriba);
  EXPECT_EQ(d.manoY, 8);
  EXPECT_FALSE(d.nombreVisible);
  for (size_t i = 0; i < 5; ++i) EXPECT_FALSE(d.filas[i].visible) << d.filas[i].clave;
  EXPECT_EQ(d.filas[5].emoji, "+");
  EXPECT_EQ(d.filas[5].marco.y, 42);
  EXPECT_FALSE(d.filas[6].visible);
  EXPECT_TRUE(panel.esVisible);
  EXPECT_EQ(leer(rutas_.archivoCandado), "500");
  // T is the first screen's height (800), not the visible frame's.
  EXPECT_EQ(leer(rutas_.archivoPosicion),
            "{\n  \"abajo\" : 730,\n  \"chica\" : true,\n  \"h\" : 72,\n  \"w\" : 44,\n"
            "  \"x\" : 7,\n  \"y\" : 658\n}");
}

TEST_F(UiBarra, DisposicionCompactaConPausaYCompleta) {
  auto medir = [](const std::string& e) { return 8.0 * contarGrafemas(e); };
  const Rect arriba{100, 600, 44, 72};  // centre above the visible frame's centre
  Json ajustes = ajustesDeBytes(R"({"pausa": true, "idioma": "en"})");
  Disposicion d = acomodar(ajustes, true, arriba, Rect{0, 40, 1280, 730}, medir, "x");
  EXPECT_EQ(d.marco.alto, 102);
  EXPECT_EQ(d.marco.ancho, 16 + 8 + 22);  // "⏸" is wider than the compact strip's 28
  EXPECT_FALSE(d.haciaArriba);
  EXPECT_EQ(d.marco.y, 600 + 72 - 102);  // the top edge stays
  EXPECT_EQ(d.manoY, 102 - 8 - 28);
  EXPECT_TRUE(d.filas[4].visible);
  EXPECT_EQ(d.filas[4].titulo, "");
  EXPECT_EQ(d.filas[4].marco.y, 102 - 68);
  EXPECT_EQ(d.filas[5].marco.y, 102 - 68 - 30);
  EXPECT_TRUE(d.enPausa);

  // Full: five rows and both buttons, at least 88 wide inside.
  d = acomodar(ajustes, false, arriba, Rect{0, 40, 1280, 730}, medir, "x");
  EXPECT_EQ(d.marco.alto, 252);
  EXPECT_EQ(d.marco.ancho, 16 + 88);
  EXPECT_TRUE(d.nombreVisible);
  EXPECT_EQ(d.filas[0].titulo, "Voice");
  EXPECT_EQ(d.filas[5].pista, "Minimize the bar");
  EXPECT_TRUE(d.filas[6].visible);
  EXPECT_EQ(d.filas[6].pista, "x");
  for (const auto& f : d.filas) EXPECT_EQ(f.marco.ancho, 88) << f.clave;
  // The widest label sets the width.
  auto ancho = [](const std::string& e) { return e == "⏸ Pause" ? 150.0 : 10.0; };
  d = acomodar(ajustes, false, arriba, Rect{0, 40, 1280, 730}, ancho, "x");
  EXPECT_EQ(d.marco.ancho, 16 + 150 + 22);
  // An unknown language falls back to Spanish.
  d = acomodar(ajustesDeBytes(R"({"idioma": "zh"})"), false, arriba, std::nullopt, medir, "x");
  EXPECT_EQ(d.filas[2].titulo, "分屏");
  EXPECT_FALSE(d.haciaArriba);  // no main screen: grows downward
  EXPECT_EQ(enIdioma({{"es", "Voz"}, {"en", "Voice"}}, "fr"), "Voz");
  EXPECT_EQ(texto("fr", "paused"), "Tildo en pausa");
}

TEST_F(UiBarra, DireccionDeCrecimientoASambosLadosDelCentro) {
  const Rect visible{0, 40, 1280, 730};                      // centre at y 405
  EXPECT_TRUE(abreHaciaArriba({0, 368, 10, 70}, visible));   // centre 403
  EXPECT_FALSE(abreHaciaArriba({0, 370, 10, 70}, visible));  // centre 405: not strictly below
  EXPECT_FALSE(abreHaciaArriba({0, 500, 10, 70}, visible));
  EXPECT_FALSE(abreHaciaArriba({0, 0, 10, 70}, std::nullopt));
}

TEST_F(UiBarra, AlCambiarDeTamanoQuedaElBordeFijo) {
  arrancar();  // bottom half: grows upward, the bottom edge fixed
  const Rect compacta = panel.m;
  barra.alternarTamano();
  EXPECT_EQ(panel.m.y, compacta.y);
  EXPECT_EQ(panel.m.alto, 252);
  EXPECT_NE(leer(rutas_.archivoPosicion).find("\"chica\" : false"), std::string::npos);
  // Moved to the upper half, the next layout keeps the top edge.
  panel.m.y = 500;
  barra.alternarTamano();
  EXPECT_EQ(panel.m.y + panel.m.alto, 500 + 252);
  EXPECT_EQ(panel.m.alto, 72);
  EXPECT_NE(leer(rutas_.archivoPosicion).find("\"chica\" : true"), std::string::npos);
}

TEST_F(UiBarra, LaPosicionQuedaDentroDelMarcoVisible) {
  const Rect v{0, 40, 1280, 730};
  // Partly off screen, on each side.
  EXPECT_EQ(dentroDe({-20, 10, 44, 72}, v).x, 0);
  EXPECT_EQ(dentroDe({-20, 10, 44, 72}, v).y, 40);
  EXPECT_EQ(dentroDe({1260, 760, 44, 72}, v).x, 1280 - 44);
  EXPECT_EQ(dentroDe({1260, 760, 44, 72}, v).y, 770 - 72);
  // Larger than the visible frame: aligned with its right and top edges.
  const Punto grande = dentroDe({10, 10, 2000, 900}, v);
  EXPECT_EQ(grande.x, 1280 - 2000);
  EXPECT_EQ(grande.y, 770 - 900);

  // A saved bottom edge below the dock is pulled up at launch; per key, as far as it goes.
  const Rect p{0, 0, 44, 72};
  const Punto o = origenAlColocar(leerPosicion(R"({"x": 300.9, "abajo": 790})"), v, 800, p);
  EXPECT_EQ(o.x, 300.9);
  EXPECT_EQ(o.y, 40);
  EXPECT_EQ(origenAlColocar(leerPosicion(R"({"y": 100, "h": 72})"), v, 800, p).y, 628);
  EXPECT_EQ(origenAlColocar(leerPosicion(R"({"x": "3", "y": 100})"), v, 800, p).x, 7);
  EXPECT_EQ(origenAlColocar(leerPosicion(R"({"x": "3", "y": 100})"), v, 800, p).y, 70);
  // No file: the default, not clamped.
  EXPECT_EQ(origenAlColocar(std::nullopt, {0, 40, 3, 3}, 800, p).x, 7);

  // Truncation toward zero, also below zero.
  EXPECT_EQ(textoDePosicion({-3.7, 10.6, 44.9, 72.2}, 800.5, false),
            "{\n  \"abajo\" : 789,\n  \"chica\" : false,\n  \"h\" : 72,\n  \"w\" : 44,\n"
            "  \"x\" : -3,\n  \"y\" : 717\n}");
  EXPECT_EQ(alturaDeReferencia({}, v), 730);
  EXPECT_EQ(textoDePosicion({1e300, 0, 1, 1}, 800, true), std::nullopt);
}

TEST_F(UiBarra, ElArchivoDePosicionAlArrancarYAlArrastrar) {
  escribir(rutas_.archivoPosicion, R"({"x": 1270, "abajo": 100, "chica": false})");
  arrancar();
  EXPECT_EQ(panel.m.x, 1280 - panel.m.ancho);  // clamped at launch, full width
  EXPECT_EQ(panel.m.alto, 252);
  // A drag half off the screen is pulled back on the next beat, and the file follows.
  panel.m.x = -50;
  latir();
  EXPECT_EQ(panel.m.x, 0);
  EXPECT_NE(leer(rutas_.archivoPosicion).find("\"x\" : 0,"), std::string::npos);
  // Standing still, the file is not rewritten.
  std::filesystem::last_write_time(rutas_.archivoPosicion, std::filesystem::file_time_type{});
  latir(3);
  EXPECT_EQ(std::filesystem::last_write_time(rutas_.archivoPosicion),
            std::filesystem::file_time_type{});
  // "chica" that is not a boolean counts as compact.
  EXPECT_TRUE(compactaSegun(leerPosicion(R"({"chica": 0})")));
  EXPECT_FALSE(compactaSegun(leerPosicion(R"({"chica": false})")));
}

TEST_F(UiBarra, LeerPosicionDeArchivosMalos) {
  EXPECT_EQ(leerPosicion(""), std::nullopt);
  EXPECT_EQ(leerPosicion("{\"x\": \"\xff\"}"), std::nullopt);
  EXPECT_EQ(leerPosicion("{\"x\": 1"), std::nullopt);
  EXPECT_EQ(leerPosicion("[1, 2]"), std::nullopt);
  EXPECT_EQ(leerPosicion("7"), std::nullopt);
  EXPECT_EQ(leerPosicion(R"({"x": 1} {})"), std::nullopt);
  EXPECT_EQ(leerPosicion(R"({"x": true, "abajo": null})"), Json({{"x", true}, {"abajo", nullptr}}));
  // Keys of the wrong type are ignored one by one.
  const Punto o = origenAlColocar(leerPosicion(R"({"x": true, "abajo": null, "y": 10, "h": [1]})"),
                                  {0, 40, 1280, 730}, 800, {0, 0, 44, 72});
  EXPECT_EQ(o.x, 7);
  EXPECT_EQ(o.y, 70);
  // A file that cannot be read is no position: the default and a fresh file.
  std::filesystem::create_directory(rutas_.archivoPosicion);
  arrancar();
  EXPECT_EQ(panel.m.x, 7);
}

TEST_F(UiBarra, OtraBarraConPidMasBajo) {
  procesos.barras = {500, 300};
  procesos.vivos = {500, 300};
  ::testing::internal::CaptureStderr();
  EXPECT_FALSE(barra.puedoArrancar());
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "[tildo-ui] arrancando la barra\n"
            "[tildo-ui] ya había otra barra: me retiro sin dibujar\n");
  // A listed pid that is gone, or a higher one, does not count.
  procesos.vivos = {500, 700};
  procesos.barras = {300, 500, 700};
  arrancar();
  // The peer check comes on the fourth beat.
  procesos.vivos = {300, 500, 700};
  procesos.busquedasDeBarras = 0;
  EXPECT_TRUE(latir(3).second);
  EXPECT_EQ(procesos.busquedasDeBarras, 0);
  EXPECT_EQ(
      latir(),
      Latidos("[tildo-ui] salgo: hay otra barra con pid más bajo ([300, 500, 700])\n", false));
  EXPECT_EQ(leer(rutas_.carpeta + "/barras-vivas.txt"),
            "¡OJO! 3 barras vivas: 300, 500, 700 (la mía es 500)");
}

TEST_F(UiBarra, BarrasVivasYSalidasDeLaBusqueda) {
  arrancar();
  latir(4);
  EXPECT_EQ(leer(rutas_.carpeta + "/barras-vivas.txt"), "una sola barra (500)");
  EXPECT_EQ(lineaDeBarrasVivas({977, 812}, 977), "¡OJO! 2 barras vivas: 812, 977 (la mía es 977)");
  EXPECT_EQ(pidsDeSalida("12\n 34\t\nx\n\n-5\n99999999999\n7"),
            (std::vector<int32_t>{12, 34, -5, 7}));
  EXPECT_EQ(pidsDeSalida("12\n\xff\n"), std::vector<int32_t>{});
  EXPECT_FALSE(procesoVivo(0));
  EXPECT_FALSE(procesoVivo(-1));
  EXPECT_TRUE(procesoVivo(getpid()));
}

TEST_F(UiBarra, ElCandado) {
  arrancar();
  // Line breaks are not trimmed: such a lock is ignored and left as it is.
  escribir(rutas_.archivoCandado, "300\n");
  procesos.vivos = {500, 300};
  EXPECT_EQ(latir(), Latidos("", true));
  EXPECT_EQ(leer(rutas_.archivoCandado), "300\n");
  // A dead pid (or one that names a process group) is taken over once.
  for (const std::string muerto : {"400", "0", "-1"}) {
    escribir(rutas_.archivoCandado, muerto);
    EXPECT_EQ(latir(2),
              Latidos("[tildo-ui] el candado era de un proceso muerto (" + muerto + "): me quedo\n",
                      true));
    EXPECT_EQ(leer(rutas_.archivoCandado), "500");
  }
  // A live pid among spaces and tabs: the bar leaves.
  escribir(rutas_.archivoCandado, " \t300 ");
  EXPECT_EQ(latir(),
            Latidos("[tildo-ui] salgo: el candado lo tiene el pid 300 y yo soy 500\n", false));
}

TEST_F(UiBarra, SinTildoMasDeQuinceSegundos) {
  arrancar();
  procesos.tildo = false;
  latir(1);  // the first beat without it starts the count
  // Back within 15 s: the count starts again.
  EXPECT_TRUE(latir(20).second);
  procesos.tildo = true;
  latir();
  procesos.tildo = false;
  EXPECT_TRUE(latir(22).second);
  EXPECT_EQ(latir(1), Latidos("[tildo-ui] ya no hay Tildo corriendo: me retiro\n", false));
}

TEST_F(UiBarra, ElAjusteBarraSoloCuentaCuandoCambiaElTexto) {
  escribir(rutas_.archivoAjustes, R"({"barra": false, "voz": true})");
  arrancar();
  EXPECT_TRUE(latir(5).second);
  EXPECT_EQ(panel.ultima->filas[0].encendido, true);
  // Someone else switches pause on: the rows follow on the next beat.
  escribir(rutas_.archivoAjustes, R"({"barra": true, "pausa": true, "idioma": "en"})");
  EXPECT_TRUE(latir().second);
  EXPECT_EQ(panel.ultima->filas[0].encendido, false);
  EXPECT_TRUE(panel.ultima->filas[4].visible);
  EXPECT_TRUE(panel.ultima->enPausa);
  EXPECT_EQ(panel.ultima->filas[6].pista, texto("es", "close"));  // the launch language stays
  escribir(rutas_.archivoAjustes, R"({"barra": false})");
  EXPECT_EQ(latir(), Latidos("[tildo-ui] salgo: el ajuste barra quedó en falso\n", false));
}

TEST_F(UiBarra, LaMarcaDeOcultarSeLeeEnCadaLatido) {
  arrancar();
  escribir(rutas_.archivoOcultar, " 1\t");
  latir();
  EXPECT_FALSE(panel.esVisible);
  escribir(rutas_.archivoOcultar, "1\n");
  latir();
  EXPECT_TRUE(panel.esVisible);
  escribir(rutas_.archivoOcultar, "1");
  latir();
  EXPECT_FALSE(panel.esVisible);
  std::filesystem::remove(rutas_.archivoOcultar);
  latir();
  EXPECT_TRUE(panel.esVisible);
}

TEST_F(UiBarra, CruzarElCentroEsperaASoltarElBoton) {
  arrancar();
  EXPECT_TRUE(panel.ultima->haciaArriba);
  panel.m.y = 600;  // dragged to the upper half
  pantallas.boton = true;
  latir();
  EXPECT_TRUE(panel.ultima->haciaArriba);
  pantallas.boton = false;
  latir();
  EXPECT_FALSE(panel.ultima->haciaArriba);
  EXPECT_EQ(panel.ultima->manoY, 72 - 8 - 28);
}

// The agent server rewrites ajustes.json in place: a flip that finds it half-written writes
// nothing, and one that catches it while it is being written waits for it.
TEST_F(UiBarra, CambiarUnaFilaYCerrar) {
  const std::string aMedias = R"({"zoom": false, "idioma": "zh"}, "voz": false, "pausa": true})";
  escribirEnSitio(rutas_.archivoAjustes, aMedias);
  arrancar();
  ::testing::internal::CaptureStderr();
  EXPECT_TRUE(barra.cambiar("voz", true));
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "[tildo-ui] no cambio «voz»: ajustes.json no se lee como ajustes\n");
  EXPECT_EQ(leer(rutas_.archivoAjustes), aMedias);
  EXPECT_EQ(panel.ultima->filas[0].encendido, false);

  std::thread escritor([this] {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    escribirEnSitio(rutas_.archivoAjustes, R"({"zoom": false, "idioma": "zh", "otra": 1})");
  });
  ::testing::internal::CaptureStdout();
  EXPECT_TRUE(barra.cambiar("voz", true));
  escritor.join();
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
  Json esperado = AJUSTES_POR_DEFECTO;
  esperado["voz"] = true;
  esperado["zoom"] = false;
  esperado["idioma"] = "zh";
  EXPECT_EQ(leerAjustes(rutas_), esperado);
  EXPECT_EQ(panel.ultima->filas[0].encendido, true);
  // The bar's own write is not an outside change.
  EXPECT_TRUE(latir().second);

  ::testing::internal::CaptureStderr();
  reloj.t = 1765072800.25;
  barra.cerrar();
  EXPECT_EQ(::testing::internal::GetCapturedStderr(),
            "[tildo-ui] cerrar() pedido: me oculto solo en esta sesión\n");
  EXPECT_EQ(leer(rutas_.archivoCerrada), "1765072800.25");
  EXPECT_EQ(decimal(-0.5), "-0.5");
}

TEST_F(UiBarra, SinPantallaPrincipalNiSeColocaNiSeGuarda) {
  pantallas.lista.clear();
  arrancar();
  EXPECT_EQ(panel.m.x, 0);
  EXPECT_FALSE(panel.ultima->haciaArriba);
  EXPECT_FALSE(std::filesystem::exists(rutas_.archivoPosicion));
}

}  // namespace
}  // namespace tildo::ui
