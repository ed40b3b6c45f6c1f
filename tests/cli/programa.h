#pragma once
// Runs the built programs as the agent server does, and a simulated desktop for them.

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "common/json.h"

namespace tildo::prueba {

struct Salida {
  std::string stdout_;
  std::string stderr_;
  int codigo = -1;
  double segundos = 0;       // from start to end
  long memoriaMaximaKb = 0;  // peak resident memory
  Json json() const;         // the one reply line, parsed
};

// The folder of the programs under test: TILDO_PROGRAMAS when it is set (the bin/ of an
// installation), else the build tree's.
std::string carpetaDeProgramas();

// Runs <programa> from that folder with the arguments; the variables given are set (an empty
// value unsets it), and the text is fed to standard input.
Salida correr(const std::string& programa, const std::vector<std::string>& args,
              const std::map<std::string, std::string>& entorno = {},
              const std::string& entrada = "");

// A temporary simulated desktop: a description file and an event log.
class EscritorioDePrueba {
 public:
  explicit EscritorioDePrueba(const Json& descripcion = Json::object());
  ~EscritorioDePrueba();
  Salida ax(const std::vector<std::string>& args, const std::string& entrada = "") const;
  std::vector<Json> registro() const;  // every line of the log
  Json descripcion() const;            // as the last command left it
  const std::string& carpeta() const { return carpeta_; }

 private:
  std::string carpeta_;
};

// Whether the run failed with that message, its reply byte for byte, and that exit code.
::testing::AssertionResult falla(const Salida& s, const std::string& mensaje, int codigo = 1);

// The events of a log without its pauses, and the pauses alone.
std::vector<Json> sinPausas(const std::vector<Json>& registro);
std::vector<int64_t> pausas(const std::vector<Json>& registro);

}  // namespace tildo::prueba
