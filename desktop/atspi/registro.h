#pragma once
// The applications the accessibility registry lists.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/atspi/sesion.h"

namespace tildo::atspi {

// One of the registry's applications: its root object, its pid and, when asked for, its name.
struct AppAtspi {
  Objeto raiz;
  int32_t pid = 0;
  std::optional<std::string> nombre;
  bool responde = true;  // it gave its name within the wait, or was not asked for it
};

// The registry's applications in its order, each with its pid; their names are asked of them
// all at once and waited for `esperaNombres` at most, when given. `registro` tells whether
// the registry answered.
std::vector<AppAtspi> appsDelRegistro(SesionAtspi& s,
                                      std::optional<std::chrono::milliseconds> esperaNombres,
                                      bool* registro = nullptr);
}  // namespace tildo::atspi
