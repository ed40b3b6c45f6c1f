#include "common/json.h"

#include <cmath>

#include <gtest/gtest.h>

namespace tildo {
namespace {

std::string compacto(const Json& v) {
  return escribirJson(v).value_or("<fallo>");
}

TEST(Json, OrdenaClavesEnTodosLosNivelesYEscapaComoLaPlataforma) {
  Json v = {{"ok", false}, {"error", "a/b \"c\" \\ ñ 🙂"}, {"z", {{"b", 1}, {"a", 2.5}}}};
  EXPECT_EQ(compacto(v), R"({"error":"a\/b \"c\" \\ ñ 🙂","ok":false,"z":{"a":2.5,"b":1}})");
}

TEST(Json, EscapaLosCaracteresDeControl) {
  EXPECT_EQ(compacto(std::string("\b\f\n\r\t\x01\x1f\x7f")),
            "\"\\b\\f\\n\\r\\t\\u0001\\u001f\x7f\"");
}

TEST(Json, EnterosYDoblesSeDistinguen) {
  EXPECT_EQ(compacto(Json::array({5, 5.0, -0.0, 2.9, -1.9, 0.1, 1e300, -3})),
            "[5,5,0,2.9,-1.9,0.1,1e+300,-3]");
}

TEST(Json, LoQueJsonNoPuedeLlevarNoSeEscribe) {
  EXPECT_FALSE(escribirJson({{"x", std::nan("")}}));
  EXPECT_FALSE(escribirJson({{"x", INFINITY}}));
  EXPECT_FALSE(escribirJson(std::string("\xff")));
}

TEST(Json, FormaBonitaDeLosAjustes) {
  Json v = {{"voz", false}, {"idioma", "auto"}, {"barra", true}};
  EXPECT_EQ(escribirJsonBonito(v).value(),
            "{\n  \"barra\" : true,\n  \"idioma\" : \"auto\",\n  \"voz\" : false\n}");
  EXPECT_EQ(escribirJsonBonito({{"a", {1, 2}}}).value(), "{\n  \"a\" : [\n    1,\n    2\n  ]\n}");
}

TEST(Json, TextoDeNumero) {
  EXPECT_EQ(textoDeNumero(1).value(), "1");
  EXPECT_EQ(textoDeNumero(0.5).value(), "0.5");
  EXPECT_EQ(textoDeNumero(-120.25).value(), "-120.25");
  EXPECT_FALSE(textoDeNumero(NAN));
}

}  // namespace
}  // namespace tildo
