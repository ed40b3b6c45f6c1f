#include "desktop/linux/sistema.h"

#include <sys/utsname.h>

#include "common/archivos.h"

namespace tildo {
namespace {

// PRETTY_NAME of os-release, unquoted.
std::string nombreDelSistema() {
  for (const char* ruta : {"/etc/os-release", "/usr/lib/os-release"}) {
    const auto contenido = leerArchivo(ruta);
    if (!contenido) continue;
    for (size_t inicio = 0; inicio < contenido->size();) {
      size_t fin = contenido->find('\n', inicio);
      if (fin == std::string::npos) fin = contenido->size();
      const std::string linea = contenido->substr(inicio, fin - inicio);
      inicio = fin + 1;
      if (linea.rfind("PRETTY_NAME=", 0) != 0) continue;
      std::string valor = linea.substr(12);
      if (valor.size() >= 2 && (valor.front() == '"' || valor.front() == '\'') &&
          valor.back() == valor.front())
        valor = valor.substr(1, valor.size() - 2);
      return valor;
    }
  }
  return "";
}

}  // namespace

std::string versionDelSistema() {
  utsname u{};
  const std::string nucleo = uname(&u) == 0 ? std::string(u.sysname) + " " + u.release : "Linux";
  const std::string sistema = nombreDelSistema();
  return sistema.empty() ? nucleo : sistema + ", " + nucleo;
}

}  // namespace tildo
