// The presented view of an AT-SPI tree: what is hidden, what only lays out, what is text.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "desktop/atspi/roles.h"
#include "desktop/atspi/vista.h"

namespace tildo::atspi {
namespace {

std::vector<uint32_t> estados(std::initializer_list<AtspiStateType> lista) {
  std::vector<uint32_t> e(2, 0);
  for (auto s : lista) e[s / 32] |= 1u << (s % 32);
  return e;
}

const std::vector<std::string> ACCESIBLE = {"org.a11y.atspi.Accessible",
                                            "org.a11y.atspi.Component"};

Rasgos caja() {
  Rasgos r;
  r.rol = ATSPI_ROLE_FILLER;
  r.estados = estados({ATSPI_STATE_SHOWING, ATSPI_STATE_VISIBLE});
  r.nombre = "";
  r.descripcion = "";
  r.interfaces = ACCESIBLE;
  return r;
}

TEST(VistaAtspi, LoQueNoSeMuestraSaleYLasVentanasDeLaAppQuedan) {
  Rasgos item;
  item.rol = ATSPI_ROLE_MENU_ITEM;
  item.nombre = "Negrita";
  item.estados = estados({ATSPI_STATE_VISIBLE, ATSPI_STATE_ENABLED});
  EXPECT_EQ(presencia(item, false), Presencia::oculto);
  item.estados = estados({ATSPI_STATE_SHOWING});
  EXPECT_EQ(presencia(item, false), Presencia::visible);
  // A minimised or unmapped window is still one of the application's.
  Rasgos ventana;
  ventana.rol = ATSPI_ROLE_FRAME;
  ventana.estados = estados({});
  EXPECT_EQ(presencia(ventana, true), Presencia::visible);
  // An element that did not say its states is not hidden on a guess.
  item.estados.reset();
  EXPECT_EQ(presencia(item, false), Presencia::visible);
  // A toolkit that marks showing on windows alone (GTK 4.8): there visible is showing, and what
  // is not visible (a closed popover's items) is still left out.
  item.soloVisible = true;
  item.estados = estados({ATSPI_STATE_VISIBLE, ATSPI_STATE_ENABLED});
  EXPECT_EQ(presencia(item, false), Presencia::visible);
  item.estados = estados({ATSPI_STATE_ENABLED});
  EXPECT_EQ(presencia(item, false), Presencia::oculto);
}

// The toolkits write the press action each their own way: GTK "click", Qt "Press".
TEST(VistaAtspi, LasAccionesQuePulsanSinImportarLaCaja) {
  EXPECT_EQ(rangoDePulsar("click"), 0u);
  EXPECT_EQ(rangoDePulsar("Press"), 1u);
  EXPECT_EQ(rangoDePulsar("ACTIVATE"), 2u);
  EXPECT_EQ(rangoDePulsar("Toggle"), 3u);
  for (const char* otra : {"SetFocus", "ShowMenu", "Pressed", "pres", "", "release"})
    EXPECT_FALSE(rangoDePulsar(otra)) << otra;
  EXPECT_TRUE(esSoltar("Release"));
  EXPECT_FALSE(esSoltar("Press"));
}

TEST(VistaAtspi, SoloDisposicionLaCajaSinNombreTextoNiAcciones) {
  Rasgos r = caja();
  EXPECT_TRUE(agrupaSinMas(r));
  EXPECT_EQ(presencia(r, false), Presencia::soloDisposicion);
  for (auto rol : {ATSPI_ROLE_PANEL, ATSPI_ROLE_SECTION, ATSPI_ROLE_REDUNDANT_OBJECT}) {
    r.rol = rol;
    EXPECT_EQ(presencia(r, false), Presencia::soloDisposicion) << rol;
  }
  // A role of its own makes it something a user sees.
  for (auto rol : {ATSPI_ROLE_PUSH_BUTTON, ATSPI_ROLE_TOOL_BAR, ATSPI_ROLE_LIST}) {
    r.rol = rol;
    EXPECT_EQ(presencia(r, false), Presencia::visible) << rol;
  }
  // So do a name, a description, a name it could not tell, or a value.
  const std::vector<std::function<void(Rasgos&)>> cambios = {
      [](Rasgos& c) { c.nombre = "Formato"; }, [](Rasgos& c) { c.descripcion = "Opciones"; },
      [](Rasgos& c) { c.nombre.reset(); },
      [](Rasgos& c) { c.interfaces->push_back("org.a11y.atspi.Value"); }};
  for (size_t i = 0; i < cambios.size(); ++i) {
    r = caja();
    cambios[i](r);
    EXPECT_EQ(presencia(r, false), Presencia::visible) << i;
  }
}

TEST(VistaAtspi, TextoYAccionesPropiosDecidenUnaVezLeidos) {
  Rasgos r = caja();
  r.interfaces->push_back("org.a11y.atspi.Text");
  r.interfaces->push_back("org.a11y.atspi.Action");
  EXPECT_TRUE(agrupaSinMas(r));
  // Until they are read, the element stays.
  EXPECT_EQ(presencia(r, false), Presencia::visible);
  r.texto = "\xEF\xBF\xBC\xEF\xBF\xBC";
  r.acciones = 0;
  EXPECT_EQ(presencia(r, false), Presencia::soloDisposicion);
  r.texto = "\xEF\xBF\xBC hola";
  EXPECT_EQ(presencia(r, false), Presencia::visible);
  r.texto = "";
  r.acciones = 1;
  EXPECT_EQ(presencia(r, false), Presencia::visible);
}

TEST(VistaAtspi, ObjetosIncrustadosNoSonTexto) {
  EXPECT_EQ(textoPropio("Hola"), "Hola");
  EXPECT_EQ(textoPropio(""), "");
  EXPECT_EQ(textoPropio("\xEF\xBF\xBC"), std::nullopt);
  EXPECT_EQ(textoPropio("\xEF\xBF\xBC\xEF\xBF\xBC\xEF\xBF\xBC"), std::nullopt);
  EXPECT_EQ(textoPropio("a\xEF\xBF\xBC"
                        "b\xEF\xBF\xBC"),
            "ab");
  // Other characters of the same block are text.
  EXPECT_EQ(textoPropio("\xEF\xBF\xBD"), "\xEF\xBF\xBD");
}

// A tree by numbers: each node its presence and its children.
struct ArbolFalso {
  std::map<int, Presencia> presencias;
  std::map<int, std::vector<int>> hijos;
  std::vector<int> pedidos;  // whose children were read
  std::vector<int> de(int n) {
    return presentados<int>(
        hijos[n], [&](int& h) { return presencias.count(h) ? presencias[h] : Presencia::visible; },
        [&](int& h) {
          pedidos.push_back(h);
          return hijos[h];
        });
  }
};

TEST(VistaAtspi, LasCajasCedenSuSitioASusHijosEnOrden) {
  ArbolFalso a;
  a.hijos = {{0, {1, 2, 3}}, {1, {4, 5}}, {2, {6}}, {5, {7, 8}}, {3, {9}}};
  a.presencias = {{1, Presencia::soloDisposicion},
                  {5, Presencia::soloDisposicion},
                  {2, Presencia::oculto},
                  {8, Presencia::oculto}};
  EXPECT_EQ(a.de(0), (std::vector<int>{4, 7, 3}));
  // A hidden element's children are never read; a visible one's are not read here.
  EXPECT_EQ(a.pedidos, (std::vector<int>{1, 5}));
}

TEST(VistaAtspi, CajasQueVuelvenSobreSiMismasTerminan) {
  ArbolFalso a;
  a.hijos = {{0, {1}}, {1, {1, 2}}};
  a.presencias = {{1, Presencia::soloDisposicion}};
  // Followed to the bound, where the box stays as it is.
  const auto r = a.de(0);
  EXPECT_EQ(a.pedidos.size(), 32u);
  EXPECT_EQ(std::count(r.begin(), r.end(), 2), 32);
  EXPECT_EQ(r.front(), 1);
}

}  // namespace
}  // namespace tildo::atspi
