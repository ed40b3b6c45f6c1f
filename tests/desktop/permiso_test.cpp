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

// The lines printed so far, parsed.
std::vector<Json> lineas(const std::string& salida) {
  std::vector<Json> l;
  for (size_t i = 0, fin; (fin = salida.find('\n', i)) != std::string::npos; i = fin + 1)
    l.push_back(Json::parse(salida.substr(i, fin - i), nullptr, false));
  return l;
}

// A question about "Notas" in the given interface language, with its own settings file.
class Pregunta {
 public:
  Pregunta(const std::string& idioma, const std::string& segundos)
      : carpeta_(crearCarpeta(idioma)),
        app_({"env", "TILDO_CONFIG=" + carpeta_, UI, "permiso", "--app", "Notas", "--segundos",
              segundos}) {}
  ~Pregunta() {
    app_.terminar();
    std::filesystem::remove_all(carpeta_);
  }

  // The ready line, once it is there.
  Json listo() {
    const auto fin = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < fin) {
      auto l = lineas(app_.salida());
      if (!l.empty()) return l[0];
      std::this_thread::sleep_for(20ms);
    }
    return nullptr;
  }
  // The answer line after the process ended with code 0; null otherwise.
  Json respuesta(std::chrono::milliseconds limite = 10s) {
    if (app_.esperarFin(limite) != 0) return nullptr;
    auto l = lineas(app_.salida());
    return l.size() == 2 ? l[1] : nullptr;
  }
  Aplicacion& app() { return app_; }

 private:
  static std::string crearCarpeta(const std::string& idioma) {
    char plantilla[] = "/tmp/tildo-permiso-XXXXXX";
    const std::string carpeta = mkdtemp(plantilla);
    escribirAtomico(carpeta + "/ajustes.json", Json{{"idioma", idioma}}.dump());
    return carpeta;
  }
  std::string carpeta_;
  Aplicacion app_;
};

Json respuesta(bool permitido) {
  return {{"app", "Notas"},
          {"ok", true},
          {"permitido", permitido},
          {"respuesta", permitido ? "permitir" : "rechazar"}};
}

TEST(Permiso, UnClicEnElCentroQueDiceElListoPermite) {
  Pregunta p("es", "60");
  const Json listo = p.listo();
  ASSERT_TRUE(listo.contains("boton_permitir")) << listo << p.app().errores();
  EXPECT_EQ(listo["listo"], true);
  const Json boton = listo["boton_permitir"];
  const auto s = ax({"click", std::to_string(boton["x"].get<int64_t>()),
                     std::to_string(boton["y"].get<int64_t>())});
  EXPECT_EQ(s.json()["ok"], true) << s.stdout_;
  EXPECT_EQ(p.respuesta(), respuesta(true)) << p.app().salida();
  EXPECT_EQ(p.app().errores(), "");
}

TEST(Permiso, ReturnRechazaAunConElFocoEnPermitir) {
  Pregunta p("en", "60");
  ASSERT_TRUE(p.listo().contains("boton_permitir"));
  const unsigned long ventana = esperarVentana("Tildo");
  ASSERT_NE(ventana, 0u);
  ASSERT_TRUE(esperarFoco(ventana));
  EXPECT_EQ(ax({"key", "tab"}).json()["ok"], true);
  EXPECT_EQ(ax({"key", "return"}).json()["ok"], true);
  EXPECT_EQ(p.respuesta(), respuesta(false)) << p.app().salida();
}

TEST(Permiso, ElPlazoCuentaComoUnNo) {
  Pregunta p("zh", "1.5");
  EXPECT_TRUE(p.listo().contains("boton_permitir"));
  EXPECT_EQ(p.respuesta(10s), respuesta(false)) << p.app().salida();

  Pregunta inmediata("es", "-1");
  EXPECT_TRUE(inmediata.listo().contains("boton_permitir"));
  EXPECT_EQ(inmediata.respuesta(10s), respuesta(false));
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
