#pragma once
// Bars and the agent server found by reading /proc in the bar's own process: the answers the
// process search program (pgrep -f) gives, without starting a program every beat.

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/bar/procesos.h"

namespace tildo::ui {

// The pids, ascending, of the processes whose full command line (arguments joined by spaces;
// "[name]" when it has none, "[name] <defunct>" for a zombie) matches the extended regular
// expression, as pgrep -f matches them; nothing when /proc cannot be read.
std::optional<std::vector<int32_t>> buscarEnProc(const std::string& patron);

std::unique_ptr<Procesos> procesosDeProc();

}  // namespace tildo::ui
