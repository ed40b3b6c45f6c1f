#pragma once
// Which running application a command acts on: by process id, by a piece of its name or
// bundle id in any case, or the one in front.

#include <cstdint>
#include <optional>
#include <string>

#include "ax/frame/argumentos.h"
#include "common/json.h"
#include "desktop/escritorio.h"

namespace tildo {

struct Proceso {
  int32_t pid = 0;
  std::string nombre;  // "?" when it has none
  std::string bundle;  // "?" when it has none
};

// Absent or empty: the frontmost application. A signed 32-bit number: that process. Anything
// else: the first listed application whose name or bundle id equals or contains it. Fails the
// command when there is no such application.
Proceso proceso(Espacio& espacio, const std::optional<std::string>& para);

Json comandoFrontmost(const Argumentos& args, Escritorio& escritorio);

}  // namespace tildo
