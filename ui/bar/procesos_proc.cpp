#include "ui/bar/procesos_proc.h"

#include <dirent.h>
#include <regex.h>
#include <unistd.h>

#include <algorithm>

#include "common/archivos.h"
#include "common/numeros.h"

namespace tildo::ui {
namespace {

// The line pgrep -f matches: the arguments joined by spaces; a process without arguments (a
// kernel thread, a zombie) by its name in brackets, as ps shows it ("[sleep] <defunct>").
std::optional<std::string> lineaDeOrdenes(const std::string& carpeta) {
  auto linea = leerArchivo(carpeta + "/cmdline");
  if (!linea) return std::nullopt;
  while (!linea->empty() && linea->back() == '\0') linea->pop_back();
  if (!linea->empty()) {
    std::replace(linea->begin(), linea->end(), '\0', ' ');
    return linea;
  }
  // "pid (name) state ...": the name may itself hold parentheses.
  const auto estado = leerArchivo(carpeta + "/stat");
  if (!estado) return std::nullopt;
  const size_t abre = estado->find('('), cierra = estado->rfind(')');
  if (abre == std::string::npos || cierra == std::string::npos || cierra < abre)
    return std::nullopt;
  std::string nombre = "[" + estado->substr(abre + 1, cierra - abre - 1) + "]";
  if (estado->compare(cierra, 3, ") Z") == 0) nombre += " <defunct>";
  return nombre;
}

// A POSIX extended regular expression, the kind pgrep takes.
class Patron {
 public:
  explicit Patron(const std::string& patron)
      : bien_(regcomp(&expresion_, patron.c_str(), REG_EXTENDED | REG_NOSUB) == 0) {}
  ~Patron() {
    if (bien_) regfree(&expresion_);
  }
  Patron(const Patron&) = delete;
  Patron& operator=(const Patron&) = delete;
  bool coincide(const std::string& texto) const {
    return bien_ && regexec(&expresion_, texto.c_str(), 0, nullptr, 0) == 0;
  }

 private:
  regex_t expresion_;
  bool bien_;
};

class ProcesosDeProc : public Procesos {
 public:
  int32_t mioPid() override { return static_cast<int32_t>(getpid()); }
  std::vector<int32_t> pidsDeBarras() override {
    return buscarEnProc(PATRON_BARRA).value_or(std::vector<int32_t>{});
  }
  bool hayTildoCorriendo() override {
    const auto pids = buscarEnProc(PATRON_TILDO);
    return !pids || !pids->empty();
  }
  bool vive(int32_t pid) override { return procesoVivo(pid); }
};

}  // namespace

std::optional<std::vector<int32_t>> buscarEnProc(const std::string& patron) {
  const Patron p(patron);
  DIR* proc = opendir("/proc");
  if (!proc) return std::nullopt;
  std::vector<int32_t> pids;
  while (const dirent* e = readdir(proc)) {
    const auto pid = leerEntero32(e->d_name);
    if (!pid || *pid <= 0) continue;
    const auto linea = lineaDeOrdenes("/proc/" + std::string(e->d_name));
    if (linea && p.coincide(*linea)) pids.push_back(*pid);
  }
  closedir(proc);
  std::sort(pids.begin(), pids.end());
  return pids;
}

std::unique_ptr<Procesos> procesosDeProc() {
  return std::make_unique<ProcesosDeProc>();
}

}  // namespace tildo::ui
