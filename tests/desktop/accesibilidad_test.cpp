// Element trees, search, presses and focus of real applications on the private desktop.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <thread>

#include "common/archivos.h"
#include "escritorio_real.h"
#include "pantalla_x.h"

// After gtest: Xlib's None macro would clash with gtest's own None.
#include <X11/Xatom.h>

namespace tildo::prueba {
namespace {

TEST(Accesibilidad, ArbolDeLaFabricaYElementoEnSuCentro) {
  Aplicacion fabrica({"gtk3-widget-factory"});
  const Json r = axHasta({"ax-tree", "--app", "widget", "--depth", "12", "--max", "2000"},
                         [](const Json& r) { return r.value("total", 0) > 100; });
  ASSERT_GT(r.value("total", 0), 100) << r.dump();
  EXPECT_EQ(r["bundle"], "org.gtk.WidgetFactory");
  EXPECT_EQ(r["pid"], fabrica.pid());
  std::map<std::string, int> roles;
  Json boton;
  for (const auto& e : r["elementos"]) {
    ++roles[e["rol"].get<std::string>()];
    if (e["rol"] == "AXButton" && e.contains("titulo") && e.contains("cx") && boton.is_null())
      boton = e;
  }
  EXPECT_GT(roles["AXButton"], 3);
  EXPECT_GT(roles["AXCheckBox"], 3);
  EXPECT_GT(roles["AXTextField"], 0);
  ASSERT_FALSE(boton.is_null());

  auto s = axEnCentro("ax-at", boton);
  EXPECT_EQ(s.stderr_, "");
  const Json en = s.json();
  EXPECT_EQ(en["encontrado"], true);
  EXPECT_EQ(en["rol"], "AXButton");
  EXPECT_EQ(en["titulo"], boton["titulo"]);
  EXPECT_EQ(en["x"], boton["x"]);

  // A partial query in capitals finds the check buttons, and only what says so.
  const Json f = ax({"ax-find", "--app", "WIDGET", "--depth", "12", "--name", "CHECKBUT"}).json();
  EXPECT_EQ(f["consulta"], "checkbut");
  EXPECT_GT(f["total"].get<int>(), 0);
  for (const auto& e : f["elementos"])
    EXPECT_NE(e.value("titulo", "").find("checkbut"), std::string::npos) << e.dump();
}

// A program installed without its AT-SPI module still drives the pointer; the commands that
// need the bus say what is missing.
TEST(Accesibilidad, SinElModuloLoDiceYElPunteroSigue) {
  const CarpetaTemporal carpeta;
  std::filesystem::create_directory(carpeta / "bin");
  std::filesystem::copy_file(std::filesystem::path(carpetaDeProgramas()) / "tildo-ax",
                             carpeta / "bin" / "tildo-ax");
  const auto programa =
      std::filesystem::relative(carpeta / "bin" / "tildo-ax", carpetaDeProgramas());
  const std::map<std::string, std::string> entorno{{"TILDO_ESCRITORIO", ""},
                                                   {"TILDO_REGISTRO", ""}};

  const auto s = correr(programa, {"frontmost"}, entorno);
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.stderr_, "");
  EXPECT_EQ(s.json()["ok"], false);
  EXPECT_NE(s.json().value("error", "").find("módulo de accesibilidad"), std::string::npos)
      << s.stdout_;
  const auto m = correr(programa, {"move", "10", "10"}, entorno);
  EXPECT_EQ(m.codigo, 0) << m.stdout_;
  EXPECT_EQ(m.stderr_, "");
}

TEST(Accesibilidad, PulsaElBotonDeUnaPreguntaPorSuNombre) {
  for (const auto& [boton, estado] : {std::pair{"no", 1}, std::pair{"YES", 0}}) {
    Aplicacion pregunta({"zenity", "--question", "--title=Pregunta", "--text=¿Seguimos?"});
    ASSERT_NE(esperarVentana("Pregunta"), 0u);
    // The dialog's tree appears on the bus a moment after its window.
    const Json r = axHasta(
        {"ax-click", "--app", std::to_string(pregunta.pid()), boton},
        [](const Json& r) { return r["ok"] == true; }, 10s);
    EXPECT_EQ(r["metodo"], "AXPress") << r.dump();
    EXPECT_EQ(r["app"], "zenity");
    EXPECT_EQ(pregunta.esperarFin(10s), estado) << boton;
  }
}

// The focused entry of the application in front, and that application, also once its window's
// class is in Latin-1 as the ICCCM's WM_CLASS is: a class of "Café" is the byte 0xE9 there, and
// the replies that carry it are still printed.
TEST(Accesibilidad, FocoYAppAlFrenteConSuClaseEnLatin1) {
  DialogoEntrada dialogo("Clase en Latin-1");
  ASSERT_TRUE(dialogo.listo());
  const Json r = axHasta(
      {"ax-focus"}, [](const Json& r) { return r["hay_foco"] == true; }, 10s);
  EXPECT_EQ(r["hay_foco"], true) << r.dump();
  EXPECT_EQ(r["rol"], "AXTextField");
  EXPECT_EQ(r["enfocado"], true);
  EXPECT_EQ(r["app"], "zenity");
  auto s = ax({"frontmost"});
  EXPECT_EQ(s.stdout_, "{\"app\":\"zenity\",\"bundle\":\"Zenity\",\"ok\":true}\n");
  EXPECT_EQ(s.stderr_, "");

  const unsigned long ventana = esperarVentana("Clase en Latin-1");
  {
    PantallaX x;
    const char clase[] = "zenity\0Caf\xe9";
    XChangeProperty(x.d(), ventana, XA_WM_CLASS, XA_STRING, 8, PropModeReplace,
                    reinterpret_cast<const unsigned char*>(clase), sizeof clase);
    XSync(x.d(), False);
  }
  s = ax({"frontmost"});
  EXPECT_EQ(s.stdout_, "{\"app\":\"zenity\",\"bundle\":\"Café\",\"ok\":true}\n");
  EXPECT_EQ(s.codigo, 0);
  s = ax({"ax-tree", "--app", "CAFÉ", "--depth", "1"});
  EXPECT_EQ(s.codigo, 0) << s.stdout_;
  EXPECT_EQ(s.json()["app"], "zenity") << s.stdout_;
  EXPECT_EQ(s.stderr_, "");
}

// A page of ours, read from a file.
constexpr const char* PAGINA = R"(<!DOCTYPE html>
<html lang="es"><head><meta charset="utf-8"><title>Página de prueba</title></head><body>
<h1>Encabezado principal</h1><h2>Una lista</h2>
<ul><li>Primer punto</li><li>Segundo punto</li><li>Tercer punto</li></ul>
<button type="button" onclick="document.title = 'Título cambiado'">Cambiar título</button>
</body></html>
)";

// A fresh profile's preferences: no first-run or welcome pages, no default-browser question,
// and none of the connections Firefox makes of its own accord.
constexpr const char* PREFERENCIAS = R"(user_pref("browser.shell.checkDefaultBrowser", false);
user_pref("browser.startup.homepage_override.mstone", "ignore");
user_pref("startup.homepage_welcome_url", "");
user_pref("startup.homepage_welcome_url.additional", "");
user_pref("browser.aboutwelcome.enabled", false);
user_pref("datareporting.policy.dataSubmissionEnabled", false);
user_pref("toolkit.telemetry.reportingpolicy.firstRun", false);
user_pref("app.update.enabled", false);
user_pref("app.normandy.enabled", false);
user_pref("extensions.update.enabled", false);
user_pref("browser.safebrowsing.malware.enabled", false);
user_pref("browser.safebrowsing.phishing.enabled", false);
user_pref("network.captive-portal-service.enabled", false);
user_pref("network.connectivity-service.enabled", false);
user_pref("browser.newtabpage.activity-stream.feeds.topsites", false);
)";

// Firefox ESR, accessibility switched on by the session alone: the page's headings, list items
// and button are in its outline, and the button found by its name and pressed changes the page.
TEST(Accesibilidad, PaginaDeFirefoxLeidaYPulsada) {
  const CarpetaTemporal carpeta;
  std::filesystem::create_directory(carpeta / "perfil");
  ASSERT_TRUE(escribirEnSitio(carpeta / "pagina.html", PAGINA));
  ASSERT_TRUE(escribirEnSitio(carpeta / "perfil" / "user.js", PREFERENCIAS));
  Aplicacion firefox({"firefox-esr", "--no-remote", "--new-instance", "--profile",
                      carpeta / "perfil", "file://" + (carpeta / "pagina.html").string()});
  // Firefox takes a few seconds to start and show the page.
  const std::vector<std::string> arbol{"ax-tree", "--app", "firefox", "--depth",
                                       "40",      "--max", "2000"};
  // What the page holds, by role: the elements below its web area in the outline.
  std::map<std::string, std::vector<std::string>> porRol;
  const std::vector<std::string> boton{"Cambiar título"};
  const std::vector<std::string> encabezados{"Encabezado principal", "Una lista"};
  const std::vector<std::string> puntos{"• Primer punto", "• Segundo punto", "• Tercer punto"};
  // While the page loads, Firefox shows part of it: a button with no name yet, no headings.
  auto completa = [&] {
    return porRol["AXButton"] == boton && porRol["AXHeading"] == encabezados &&
           porRol["AXRow"] == puntos;
  };
  axHasta(
      arbol,
      [&](const Json& r) {
        porRol.clear();
        int nivelDeLaPagina = -1;
        for (const auto& e : r.value("elementos", Json::array())) {
          const int nivel = e.value("nivel", 0);
          if (nivelDeLaPagina >= 0 && nivel <= nivelDeLaPagina) break;
          if (nivelDeLaPagina >= 0)
            porRol[e["rol"].get<std::string>()].push_back(e.value("titulo", ""));
          if (e["rol"] == "AXWebArea" && e.value("titulo", "") == "Página de prueba")
            nivelDeLaPagina = nivel;
        }
        return completa();
      },
      40s, 200ms);
  EXPECT_EQ(porRol["AXButton"], boton);
  EXPECT_EQ(porRol["AXHeading"], encabezados);
  EXPECT_EQ(porRol["AXRow"], puntos);

  const Json f = ax({"ax-find", "--app", "firefox", "--name", "cambiar título"}).json();
  EXPECT_EQ(f.value("total", 0), 1) << f.dump();
  if (f.value("total", 0) == 1) {
    EXPECT_EQ(f["elementos"][0]["rol"], "AXButton");
    EXPECT_EQ(f["elementos"][0]["acciones"], Json::array({"AXPress"}));
  }

  auto s = ax({"ax-click", "--app", "firefox", "Cambiar título"});
  EXPECT_EQ(s.stderr_, "");
  EXPECT_EQ(s.json()["metodo"], "AXPress") << s.stdout_;
  EXPECT_NE(esperarVentana("Título cambiado — Mozilla Firefox"), 0u);
}

}  // namespace
}  // namespace tildo::prueba
