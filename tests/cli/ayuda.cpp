#include <gtest/gtest.h>

#include "programa.h"

namespace tildo::prueba {

void comprobarAyudaYVersion(const std::string& programa, const std::vector<std::string>& comandos) {
  const std::map<std::string, std::string> sinEscritorio{{"DISPLAY", ""}, {"TILDO_ESCRITORIO", ""}};
  const Salida ayuda = correr(programa, {"--help"}, sinEscritorio);
  EXPECT_EQ(ayuda.codigo, 0);
  EXPECT_EQ(ayuda.stderr_, "");
  EXPECT_EQ(ayuda.stdout_.rfind("Uso: " + programa + " COMANDO", 0), 0u) << ayuda.stdout_;
  for (const auto& c : comandos)
    EXPECT_NE(ayuda.stdout_.find("\n  " + c + " "), std::string::npos) << c;
  const Salida version = correr(programa, {"--version"}, sinEscritorio);
  EXPECT_EQ(version.stdout_, programa + " " TILDO_VERSION "\n");
  EXPECT_EQ(version.codigo, 0);
  EXPECT_EQ(version.stderr_, "");
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--help", comandos[0]},
                                               {"--version", "--help"},
                                               {"-h"},
                                               {"--Help"},
                                               {"help"},
                                               {"-V"}}) {
    const Salida s = correr(programa, args, sinEscritorio);
    EXPECT_EQ(s.stdout_, "{\"error\":\"comando desconocido: " + args[0] + "\",\"ok\":false}\n");
    EXPECT_EQ(s.codigo, 2);
  }
}

}  // namespace tildo::prueba
