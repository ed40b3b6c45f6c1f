// tildo-ui's permission question on the real desktop, answered the ways the agent server and
// the user answer it: a click where the ready line says, Return, the time-out, and tildo-ax
// pressing the allow button by its label.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "common/archivos.h"
#include "escritorio_real.h"

namespace tildo::prueba {
namespace {

const std::string UI = carpetaDeProgramas() + "/tildo-ui";

// A question about "Notas" in the given interface language, with its own settings file.
class Pregunta {
 public:
  Pregunta(const std::string& idioma, const std::string& segundos)
      : ajustes_(escribirAtomico(carpeta_ / "ajustes.json", Json{{"idioma", idioma}}.dump())),
        app_({"env", "TILDO_CONFIG=" + carpeta_.ruta().string(), UI, "permiso", "--app", "Notas",
              "--segundos", segundos}) {}

  // The ready line, once it is there.
  Json listo() { return primeraLinea(app_); }
  // The answer line after the process ended with code 0; null otherwise.
  Json respuesta(std::chrono::milliseconds limite = 10s) {
    if (app_.esperarFin(limite) != 0) return nullptr;
    auto l = lineasJson(app_.salida());
    return l.size() == 2 ? l[1] : nullptr;
  }
  Aplicacion& app() { return app_; }

 private:
  CarpetaTemporal carpeta_;
  bool ajustes_;  // written before the question starts
  Aplicacion app_;
};

Json respuesta(bool permitido) {
  return {{"app", "Notas"},
          {"ok", true},
          {"permitido", permitido},
          {"respuesta", permitido ? "permitir" : "rechazar"}};
}

// A click at the centre the ready line gives allows; Return refuses even with the focus on the
// allow button; so does the time running out, or having run out already.
TEST(Permiso, UnClicPermiteYReturnOElPlazoRechazan) {
  {
    Pregunta p("es", "60");
    const Json listo = p.listo();
    ASSERT_TRUE(listo.contains("boton_permitir")) << listo << p.app().errores();
    EXPECT_EQ(listo["listo"], true);
    const Json boton = listo["boton_permitir"];
    const auto s = ax({"click", boton["x"].dump(), boton["y"].dump()});
    EXPECT_EQ(s.json()["ok"], true) << s.stdout_;
    EXPECT_EQ(p.respuesta(), respuesta(true)) << p.app().salida();
    EXPECT_EQ(p.app().errores(), "");
  }
  {
    Pregunta p("en", "60");
    ASSERT_TRUE(p.listo().contains("boton_permitir"));
    const unsigned long ventana = esperarVentana("Tildo");
    ASSERT_NE(ventana, 0u);
    ASSERT_TRUE(esperarFoco(ventana));
    EXPECT_EQ(ax({"key", "tab"}).json()["ok"], true);
    EXPECT_EQ(ax({"key", "return"}).json()["ok"], true);
    EXPECT_EQ(p.respuesta(), respuesta(false)) << p.app().salida();
  }
  for (const auto& [idioma, segundos] : {std::pair{"zh", "1.5"}, std::pair{"es", "-1"}}) {
    Pregunta p(idioma, segundos);
    EXPECT_TRUE(p.listo().contains("boton_permitir")) << segundos;
    EXPECT_EQ(p.respuesta(10s), respuesta(false)) << p.app().salida();
  }
}

TEST(Permiso, TildoAxPulsaPermitirPorSuNombreEnCadaIdioma) {
  for (const auto& [idioma, etiqueta] : std::vector<std::pair<std::string, std::string>>{
           {"es", "Permitir"}, {"en", "Allow"}, {"zh", "允许"}}) {
    Pregunta p(idioma, "60");
    ASSERT_TRUE(p.listo().contains("boton_permitir")) << idioma;
    const auto s = ax({"ax-click", "--app", "tildo-ui", etiqueta});
    EXPECT_EQ(s.json()["ok"], true) << idioma << ": " << s.stdout_;
    EXPECT_EQ(p.respuesta(), respuesta(true)) << idioma << ": " << p.app().salida();
  }
}

}  // namespace
}  // namespace tildo::prueba
