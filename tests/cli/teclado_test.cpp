// Keyboard commands on the simulated desktop.
#include <gtest/gtest.h>

#include "programa.h"

namespace tildo::prueba {
namespace {

Json tecla(int codigo, bool abajo, int64_t banderas) {
  return {{"evento", "tecla"}, {"codigo", codigo}, {"abajo", abajo}, {"banderas", banderas}};
}
Json caracter(const std::string& texto, bool abajo, int unidades) {
  return {{"evento", "tecla"},
          {"codigo", 0},
          {"abajo", abajo},
          {"texto", texto},
          {"unidades", unidades}};
}

TEST(Teclado, KeyConModificadoresYElComboTalCual) {
  EscritorioDePrueba e;
  auto s = e.ax({"key", "Cmd + Shift+4"});
  EXPECT_EQ(s.stdout_, "{\"combo\":\"Cmd + Shift+4\",\"ok\":true}\n");
  EXPECT_EQ(e.registro(), (std::vector<Json>{tecla(21, true, 0x120000),
                                             {{"evento", "pausa"}, {"us", 25000}},
                                             tecla(21, false, 0x120000),
                                             {{"evento", "pausa"}, {"us", 25000}}}));
}

TEST(Teclado, KeyQueFalla) {
  EscritorioDePrueba e;
  EXPECT_EQ(e.ax({"key"}).stdout_,
            "{\"error\":\"key necesita un combo, ej. cmd+c\",\"ok\":false}\n");
  EXPECT_EQ(e.ax({"key", "+"}).json()["error"], "combo vacío");
  auto s = e.ax({"key", "ctrl+é"});
  EXPECT_TRUE(falla(s, "no conozco la tecla «é»"));
  EXPECT_TRUE(e.registro().empty());
}

TEST(Teclado, TypeUneLasPalabrasYCuentaCaracteres) {
  EscritorioDePrueba e;
  auto s = e.ax({"type", "hola", "--doble", "mundo"});
  EXPECT_EQ(s.stdout_, "{\"caracteres\":10,\"escrito\":\"hola mundo\",\"ok\":true}\n");
  const auto eventos = sinPausas(e.registro());
  ASSERT_EQ(eventos.size(), 20u);
  EXPECT_EQ(eventos[8], caracter(" ", true, 1));
  EXPECT_EQ(pausas(e.registro()), std::vector<int64_t>(20, 6000));
}

TEST(Teclado, TypeDesdeStdinConSaltosTabulacionesYCaracteresLargos) {
  EscritorioDePrueba e;
  const std::string texto = "a\n\r\n👍🏽e\u0301\t/";
  auto s = e.ax({"type", "--stdin", "ignorado"}, texto);
  EXPECT_EQ(s.json(), (Json{{"ok", true}, {"escrito", texto}, {"caracteres", 7}}));
  EXPECT_EQ(sinPausas(e.registro()),
            (std::vector<Json>{
                caracter("a", true, 1), caracter("a", false, 1), tecla(36, true, 0),
                tecla(36, false, 0), caracter("\r\n", true, 2), caracter("\r\n", false, 2),
                caracter("👍🏽", true, 4), caracter("👍🏽", false, 4),
                caracter("e\u0301", true, 2), caracter("e\u0301", false, 2), tecla(48, true, 0),
                tecla(48, false, 0), caracter("/", true, 1), caracter("/", false, 1)}));
  EXPECT_EQ(pausas(e.registro()),
            (std::vector<int64_t>{6000, 6000, 25000, 25000, 20000, 6000, 6000, 6000, 6000, 6000,
                                  6000, 25000, 25000, 20000, 6000, 6000}));
}

TEST(Teclado, TypeLargoRespondeLosPrimeros200) {
  EscritorioDePrueba e;
  std::string texto;
  for (int i = 0; i < 250; ++i) texto += "ñ";
  auto s = e.ax({"type", texto});
  EXPECT_EQ(s.json()["caracteres"], 250);
  EXPECT_EQ(s.json()["escrito"], texto.substr(0, 400));
}

TEST(Teclado, TypeSinTexto) {
  EscritorioDePrueba e;
  for (const auto& [args, entrada] : std::vector<std::pair<std::vector<std::string>, std::string>>{
           {{"type"}, ""}, {{"type", "--stdin"}, ""}, {{"type", "--stdin"}, "\xff\xfe"}}) {
    auto s = e.ax(args, entrada);
    EXPECT_TRUE(falla(s, "type necesita texto"));
  }
  EXPECT_TRUE(e.registro().empty());
}

}  // namespace
}  // namespace tildo::prueba
