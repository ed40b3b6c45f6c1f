#pragma once
// The other processes as the bar sees them: running bars and the agent server, found by their
// command lines, and the rules that keep one bar alive.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tildo::ui {

// What a running bar's full command line contains.
inline const char* const PATRON_BARRA = "tildo-ui barra";
// The agent server's script names, as an extended regular expression.
inline const char* const PATRON_TILDO = "tildo\\.mjs|mcp\\.mjs";

class Procesos {
 public:
  virtual ~Procesos() = default;
  virtual int32_t mioPid() = 0;
  // The bars' pids (the caller's included) in the order found; empty when nobody can look.
  virtual std::vector<int32_t> pidsDeBarras() = 0;
  // Whether an agent server runs; true when nobody can look, so a broken search never makes
  // the bar leave.
  virtual bool hayTildoCorriendo() = 0;
  // Whether the process exists and may be signalled; never true for 0 or less, which name
  // process groups rather than a process.
  virtual bool vive(int32_t pid) = 0;
};

// kill(pid, 0) succeeds: the process exists and may be signalled. Never asked for 0 or less,
// which name process groups (kill(0, 0) and kill(-1, 0) would answer for a whole group).
bool procesoVivo(int32_t pid);

// True when no other live bar has a lower pid than ours.
bool meTocaSerLaBarra(Procesos& procesos);

// The diagnostic line of barras-vivas.txt for these pids (in any order) and ours.
std::string lineaDeBarrasVivas(std::vector<int32_t> pids, int32_t mio);

// The list's standard description: [812, 977].
std::string enCorchetes(const std::vector<int32_t>& pids);

// A process search's output, one decimal pid a line: the pieces that parse after trimming
// spaces and tabs, in order; nothing at all when it is not UTF-8.
std::vector<int32_t> pidsDeSalida(std::string_view salida);

// The pid the lock file names: its text trimmed of spaces and tabs (line breaks stay) read as
// a 32-bit decimal integer.
std::optional<int32_t> pidDelCandado(std::string_view texto);

}  // namespace tildo::ui
