#include "ui/bar/procesos_proc.h"

#include <dirent.h>
#include <regex.h>
#include <unistd.h>

#include <algorithm>

#include "common/archivos.h"
#include "common/numeros.h"

namespace tildo::ui {
namespace {

// pgrep reads no more of a command line than this (its buffer less the final NUL) and matches
// what it read: a peer with megabytes of arguments costs each beat no more than this.
constexpr size_t LIMITE_ORDENES = 128 * 1024 - 1;
// A stat line: the pid, the name (at most 64 bytes) and some fifty numbers.
constexpr size_t LIMITE_ESTADO = 4096;

// The line pgrep -f matches: the arguments joined by spaces; a process without arguments (a
// kernel thread, a zombie) by its name in brackets, as ps shows it ("[sleep] <defunct>").
std::optional<std::string> lineaDeOrdenes(const std::string& carpeta) {
  auto linea = leerPrincipio(carpeta + "/cmdline", LIMITE_ORDENES);
  if (!linea) return std::nullopt;
  while (!linea->empty() && linea->back() == '\0') linea->pop_back();
  if (!linea->empty()) {
    std::replace(linea->begin(), linea->end(), '\0', ' ');
    return linea;
  }
  // "pid (name) state ...": the name may itself hold parentheses.
  const auto estado = leerPrincipio(carpeta + "/stat", LIMITE_ESTADO);
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
  // The first agent server found is enough: the rest of the table is not read.
  bool hayTildoCorriendo() override {
    bool hay = false;
    const bool leida = recorrerProc(PATRON_TILDO, [&](int32_t) { return !(hay = true); });
    return !leida || hay;
  }
  bool vive(int32_t pid) override { return procesoVivo(pid); }
};

}  // namespace

bool recorrerProc(const std::string& patron, const std::function<bool(int32_t)>& hallado) {
  const Patron p(patron);
  DIR* proc = opendir("/proc");
  if (!proc) return false;
  while (const dirent* e = readdir(proc)) {
    const auto pid = leerEntero32(e->d_name);
    if (!pid || *pid <= 0) continue;
    const auto linea = lineaDeOrdenes("/proc/" + std::string(e->d_name));
    if (linea && p.coincide(*linea) && !hallado(*pid)) break;
  }
  closedir(proc);
  return true;
}

std::optional<std::vector<int32_t>> buscarEnProc(const std::string& patron) {
  std::vector<int32_t> pids;
  if (!recorrerProc(patron, [&](int32_t pid) {
        pids.push_back(pid);
        return true;
      }))
    return std::nullopt;
  std::sort(pids.begin(), pids.end());
  return pids;
}

std::unique_ptr<Procesos> procesosDeProc() {
  return std::make_unique<ProcesosDeProc>();
}

}  // namespace tildo::ui
