#include "ui/bar/procesos.h"

#include <signal.h>

#include <algorithm>

#include "common/numeros.h"
#include "common/texto.h"

namespace tildo::ui {

bool procesoVivo(int32_t pid) {
  return pid > 0 && kill(pid, 0) == 0;
}

bool meTocaSerLaBarra(Procesos& procesos) {
  const int32_t mio = procesos.mioPid();
  std::optional<int32_t> menor;
  for (int32_t pid : procesos.pidsDeBarras()) {
    if (pid == mio || !procesos.vive(pid)) continue;
    if (!menor || pid < *menor) menor = pid;
  }
  return !menor || mio < *menor;
}

std::string enCorchetes(const std::vector<int32_t>& pids) {
  std::string texto = "[";
  for (size_t i = 0; i < pids.size(); ++i) texto += (i ? ", " : "") + std::to_string(pids[i]);
  return texto + "]";
}

std::string lineaDeBarrasVivas(std::vector<int32_t> pids, int32_t mio) {
  if (pids.size() < 2) return "una sola barra (" + std::to_string(mio) + ")";
  std::sort(pids.begin(), pids.end());
  const std::string lista = enCorchetes(pids);
  return "¡OJO! " + std::to_string(pids.size()) +
         " barras vivas: " + lista.substr(1, lista.size() - 2) + " (la mía es " +
         std::to_string(mio) + ")";
}

std::vector<int32_t> pidsDeSalida(std::string_view salida) {
  std::vector<int32_t> pids;
  if (!utf8Valido(salida)) return pids;
  size_t inicio = 0;
  while (inicio <= salida.size()) {
    size_t fin = salida.find('\n', inicio);
    if (fin == std::string_view::npos) fin = salida.size();
    if (auto pid = leerEntero32(recortarEspacios(salida.substr(inicio, fin - inicio))))
      pids.push_back(*pid);
    inicio = fin + 1;
  }
  return pids;
}

std::optional<int32_t> pidDelCandado(std::string_view texto) {
  return leerEntero32(recortarEspacios(texto));
}

}  // namespace tildo::ui
