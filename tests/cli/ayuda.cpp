#include "ayuda.h"

#include <gtest/gtest.h>

#include <cctype>

#include "programa.h"

namespace tildo::prueba {

void comprobarComandos(const std::string& programa, const std::vector<std::string>& comandos,
                       const std::string& uso) {
  const std::map<std::string, std::string> sinEscritorio{
      {"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}, {"TILDO_ESCRITORIO", ""}};
  EXPECT_TRUE(falla(correr(programa, {}, sinEscritorio), "falta el comando. Usa: " + uso, 2));
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
  const std::string& primero = comandos[0];
  std::string mayusculas = primero;
  for (char& c : mayusculas) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (const std::vector<std::string>& args : {std::vector<std::string>{"--help", primero},
                                               {"--version", "--help"},
                                               {"-h"},
                                               {"--Help"},
                                               {"help"},
                                               {"-V"},
                                               {mayusculas, primero},
                                               {"", primero},
                                               {"--app", primero},
                                               {primero + "2"}}) {
    const Salida s = correr(programa, args, sinEscritorio);
    EXPECT_TRUE(falla(s, "comando desconocido: " + args[0], 2));
    EXPECT_EQ(s.stderr_, "") << args[0];
  }
}

}  // namespace tildo::prueba
