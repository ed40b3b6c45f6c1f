// Chromium showing a page of ours from a file: read, found and pressed by its visible text,
// started as users start it and with its renderer's accessibility switched on.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "common/archivos.h"
#include "escritorio_real.h"

namespace tildo::prueba {
namespace {

constexpr const char* PAGINA = R"(<!DOCTYPE html>
<html lang="es"><head><meta charset="utf-8"><title>Página de Chromium</title></head><body>
<h1>Encabezado de Chromium</h1>
<button type="button" onclick="document.title = 'Título cambiado'">Cambiar título</button>
<div style="height: 4000px"></div>
<p>Párrafo al final de la página</p>
</body></html>
)";

// A fresh profile with none of the connections Chromium makes of its own accord: on a closed
// network they are refused many at a time and slow it down. As root it only starts without
// its sandbox.
std::vector<std::string> ordenDeChromium(const std::filesystem::path& carpeta, bool interruptor) {
  std::vector<std::string> orden{"chromium",
                                 "--disable-background-networking",
                                 "--disable-component-update",
                                 "--disable-sync",
                                 "--no-first-run",
                                 "--no-default-browser-check",
                                 "--password-store=basic",
                                 "--user-data-dir=" + (carpeta / "perfil").string()};
  if (geteuid() == 0) orden.push_back("--no-sandbox");
  if (interruptor) orden.push_back("--force-renderer-accessibility");
  orden.push_back("file://" + (carpeta / "pagina.html").string());
  return orden;
}

void leerYPulsarLaPagina(bool interruptor) {
  const CarpetaTemporal carpeta;
  ASSERT_TRUE(escribirEnSitio(carpeta / "pagina.html", PAGINA));
  const LectorIntacto lector;
  Aplicacion chromium(ordenDeChromium(carpeta.ruta(), interruptor));
  ASSERT_NE(esperarVentana("Página de Chromium - Chromium", 40s), 0u) << chromium.errores();
  auto buscar = [](const std::string& nombre) {
    return std::vector<std::string>{"ax-find", "--app", "chromium", "--depth", "40",
                                    "--max",   "2000",  "--name",   nombre};
  };
  // The page's tree comes a moment after its window.
  const Json f = axHasta(
      buscar("cambiar título"), [](const Json& f) { return f.value("total", 0) > 0; }, 20s, 200ms);
  ASSERT_EQ(f.value("total", 0), 1) << f.dump();
  EXPECT_EQ(f["elementos"][0]["rol"], "AXButton");
  EXPECT_EQ(f["elementos"][0]["habilitado"], true);

  const Json h = ax(buscar("encabezado de chromium")).json();
  // The heading, and the text it holds.
  ASSERT_GT(h.value("total", 0), 0) << h.dump();
  EXPECT_EQ(h["elementos"][0]["rol"], "AXHeading");
  // Below the fold is not showing, yet it is the page's, there to scroll to.
  const Json final = ax(buscar("al final de la página")).json();
  EXPECT_GT(final.value("total", 0), 0) << final.dump();

  auto c = ax({"ax-click", "--app", "chromium", "Cambiar título"});
  EXPECT_EQ(c.stderr_, "");
  const Json clic = c.json();
  ASSERT_EQ(clic["metodo"], "AXPress") << c.stdout_;
  EXPECT_NE(esperarVentana("Título cambiado - Chromium"), 0u);

  const Json en = ax({"ax-at", clic["x"].dump(), clic["y"].dump()}).json();
  EXPECT_EQ(en["rol"], "AXButton") << en.dump();
  EXPECT_EQ(en["titulo"], "Cambiar título");
}

TEST(Chromium, PaginaLeidaYPulsadaComoLaAbreUnUsuario) {
  leerYPulsarLaPagina(false);
}

TEST(Chromium, PaginaLeidaYPulsadaConSuAccesibilidadEncendida) {
  leerYPulsarLaPagina(true);
}

}  // namespace
}  // namespace tildo::prueba
