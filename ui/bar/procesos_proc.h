#pragma once
// Bars and the agent server found by reading /proc in the bar's own process: the answers the
// process search program (pgrep -f) gives, without starting a program every beat.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "ui/bar/procesos.h"

namespace tildo::ui {

// The pids, ascending, of the processes whose full command line (arguments joined by spaces;
// "[name]" when it has none, "[name] <defunct>" for a zombie) matches the extended regular
// expression, as pgrep -f matches them (on the first 128 KB of the line, as it reads them);
// nothing when /proc cannot be read.
std::optional<std::vector<int32_t>> buscarEnProc(const std::string& patron);
// The same search, giving each pid found to `hallado` in the table's order until it answers
// false; false when /proc cannot be read.
bool recorrerProc(const std::string& patron, const std::function<bool(int32_t)>& hallado);

std::unique_ptr<Procesos> procesosDeProc();

}  // namespace tildo::ui
