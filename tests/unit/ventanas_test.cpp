// Window selection, placing, minimising and focusing against in-process fake elements.
#include "ax/accessibility/ventanas.h"

#include <gtest/gtest.h>

#include <map>

#include "common/fallo.h"
#include "falsos.h"

namespace tildo {
namespace {

class VentanaFalsa : public Elemento {
 public:
  std::map<std::string, Valor, std::less<>> atributos;
  std::vector<std::string> rechaza;

  std::optional<Valor> atributo(std::string_view nombre) override {
    auto it = atributos.find(nombre);
    if (it == atributos.end()) return std::nullopt;
    return it->second;
  }
  std::optional<std::vector<std::string>> acciones() override { return std::nullopt; }
  int realizar(std::string_view) override { return AX_EXITO; }
  int fijar(std::string_view nombre, const Valor& valor) override {
    if (std::find(rechaza.begin(), rechaza.end(), nombre) != rechaza.end()) return AX_ERROR;
    atributos[std::string(nombre)] = valor;
    return AX_EXITO;
  }
};

std::shared_ptr<VentanaFalsa> ventana(const std::string& titulo, bool minimizada = false) {
  auto v = std::make_shared<VentanaFalsa>();
  if (!titulo.empty()) v->atributos["AXTitle"] = titulo;
  v->atributos["AXMinimized"] = minimizada;
  return v;
}

class AccesibilidadFalsa : public Accesibilidad {
 public:
  std::map<int32_t, std::shared_ptr<VentanaFalsa>> apps;
  ElementoRef aplicacion(int32_t pid) override {
    auto it = apps.find(pid);
    return it == apps.end() ? nullptr : it->second;
  }
  ElementoRef elementoEn(float, float) override { return nullptr; }
  bool confiable() override { return true; }

  std::shared_ptr<VentanaFalsa> app(int32_t pid, std::vector<std::shared_ptr<VentanaFalsa>> vs) {
    auto a = std::make_shared<VentanaFalsa>();
    a->atributos["AXWindows"] = std::vector<ElementoRef>(vs.begin(), vs.end());
    apps[pid] = a;
    return a;
  }
};

class VentanasTest : public ::testing::Test {
 protected:
  AccesibilidadFalsa ax;
  EntradaFalsa entrada;
};

// What the simulated desktop cannot express: a negative index, a main window that is not an
// element, a window whose minimised state cannot be read, an application with no windows.
TEST_F(VentanasTest, EleccionConAtributosIlegibles) {
  auto a = ventana("Correo", true), b = ventana("Borrador");
  auto app = ax.app(1, {a, b});
  EXPECT_EQ(ventanaDe(ax, 1, "rreo", -1), a);
  app->atributos["AXMainWindow"] = std::string("no es un elemento");
  EXPECT_EQ(ventanaDe(ax, 1, "nada", std::nullopt), b);
  EXPECT_EQ(ventanaDe(ax, 1, "", std::nullopt), b);
  a->atributos.erase("AXMinimized");
  EXPECT_EQ(ventanaDe(ax, 1, std::nullopt, std::nullopt), a);
  ax.app(3, {});
  EXPECT_EQ(ventanaDe(ax, 3, std::nullopt, 0), nullptr);
}

TEST_F(VentanasTest, ColocarSinMarcoLegibleNiVentana) {
  auto v = ventana("");
  ax.app(7, {v});
  v->atributos["AXPosition"] = Punto{1e300, 0.5};
  v->rechaza = {"AXPosition", "AXSize"};
  const Json pedido = {{"x", 0}, {"y", 0}, {"ancho", 1}, {"alto", 1}};
  auto r = colocarVentana(ax, entrada, 7, std::nullopt, std::nullopt, pedido);
  EXPECT_EQ(r["real"], Json::object());
  EXPECT_EQ(r["titulo"], "");
  v->atributos["AXSize"] = Medidas{1, -2.5};
  // A coordinate beyond 64 bits has no integer form; the others stay.
  r = colocarVentana(ax, entrada, 7, std::nullopt, std::nullopt, pedido);
  EXPECT_EQ(r["real"], (Json{{"y", 1}, {"ancho", 1}, {"alto", -3}}));

  try {
    colocarVentana(ax, entrada, 7, std::nullopt, std::nullopt, {{"x", 0}, {"y", "1"}});
    ADD_FAILURE();
  } catch (const Fallo& f) {
    EXPECT_EQ(f.mensaje, "colocar necesita x, y, ancho y alto");
  }
}

// An application with no name and no accessibility element is activated all the same (the
// order of activation and wait is in focus's event log, cli Enfocar).
TEST_F(VentanasTest, EnfocarSinElementoNiNombre) {
  EspacioFalso espacio;
  espacio.apps = {{9, "Notas", "com.apple.Notes"}, {10, std::nullopt, std::nullopt}};
  EXPECT_EQ(enfocarVentana(espacio, ax, entrada, 10, "x"), (Json{{"ok", true}, {"enfocada", "?"}}));
  EXPECT_EQ(espacio.activadas, std::vector<int32_t>{10});
  EXPECT_EQ(entrada.pausas, std::vector<uint32_t>{250000});
  // 2^32 + 9 must not wrap round to the process 9.
  for (int64_t pid : {int64_t{11}, int64_t{4294967305}}) {
    try {
      enfocarVentana(espacio, ax, entrada, pid, std::nullopt);
      ADD_FAILURE();
    } catch (const Fallo& f) {
      EXPECT_EQ(f.mensaje, "no encontré el proceso " + std::to_string(pid));
    }
  }
}

}  // namespace
}  // namespace tildo
