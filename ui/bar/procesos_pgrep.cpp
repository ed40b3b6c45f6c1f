#include "ui/bar/procesos_pgrep.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <string>

extern char** environ;

namespace tildo::ui {
namespace {

struct Resultado {
  int estado = -1;  // the exit status; -1 when it did not run to its end
  std::string salida;
};

// pgrep -f PATRON to its end, its standard output read while it runs; nothing when it cannot
// be started. What it says on standard error is of no use here.
std::optional<Resultado> pgrep(const char* patron) {
  int tubo[2];
  if (pipe2(tubo, O_CLOEXEC) != 0) return std::nullopt;
  posix_spawn_file_actions_t acciones;
  posix_spawn_file_actions_init(&acciones);
  posix_spawn_file_actions_adddup2(&acciones, tubo[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&acciones, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  char programa[] = "/usr/bin/pgrep";
  char f[] = "-f";
  std::string p = patron;
  char* argv[] = {programa, f, p.data(), nullptr};
  pid_t pid = -1;
  const int error = posix_spawn(&pid, programa, &acciones, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&acciones);
  close(tubo[1]);
  if (error != 0) {
    close(tubo[0]);
    return std::nullopt;
  }
  Resultado r;
  char buf[4096];
  for (;;) {
    const ssize_t n = read(tubo[0], buf, sizeof buf);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    r.salida.append(buf, static_cast<size_t>(n));
  }
  close(tubo[0]);
  int estado = 0;
  while (waitpid(pid, &estado, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(estado)) r.estado = WEXITSTATUS(estado);
  return r;
}

class ProcesosDePgrep : public Procesos {
 public:
  int32_t mioPid() override { return static_cast<int32_t>(getpid()); }
  std::vector<int32_t> pidsDeBarras() override {
    const auto r = pgrep(PATRON_BARRA);
    return r ? pidsDeSalida(r->salida) : std::vector<int32_t>{};
  }
  bool hayTildoCorriendo() override {
    const auto r = pgrep(PATRON_TILDO);
    return !r || r->estado == 0;
  }
  bool vive(int32_t pid) override { return procesoVivo(pid); }
};

}  // namespace

std::unique_ptr<Procesos> procesosDePgrep() {
  return std::make_unique<ProcesosDePgrep>();
}

}  // namespace tildo::ui
