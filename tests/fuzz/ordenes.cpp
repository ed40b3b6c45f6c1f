// The watcher's orders on arbitrary bytes as its standard input: the bounded line reader gives
// every line of the input, those longer than its limit skipped and marked, and any bytes are
// read as an order that a change of ASCII case does not change. The first byte sets the limit,
// so that short inputs reach lines longer than it.
#include <fcntl.h>
#include <unistd.h>

#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "carpeta_temporal.h"
#include "common/archivos.h"
#include "ui/watcher/ordenes.h"
#include "ui/watcher/vigia.h"

namespace {

using tildo::LectorDeLineas;
using tildo::ui::Orden;

std::string mayusculasAscii(std::string texto) {
  for (char& c : texto)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return texto;
}

// What the reader must give, from splitting the whole input at once.
std::vector<LectorDeLineas::Linea> esperadas(std::string_view entrada, size_t limite) {
  std::vector<LectorDeLineas::Linea> lineas;
  while (!entrada.empty()) {
    const size_t salto = std::min(entrada.find('\n'), entrada.size());
    const std::string_view linea = entrada.substr(0, salto);
    if (linea.size() > limite)
      lineas.push_back({"", true});
    else
      lineas.push_back({std::string(linea), false});
    entrada.remove_prefix(std::min(salto + 1, entrada.size()));
  }
  return lineas;
}

int archivo = -1;

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  const std::string ruta = tildo::fuzz::carpetaTemporal() + "/entrada";
  archivo = ::open(ruta.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
  if (archivo < 0) std::abort();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano) {
  if (tamano == 0) return 0;
  const size_t limite = datos[0] + 1;
  const std::string_view entrada(reinterpret_cast<const char*>(datos) + 1, tamano - 1);
  if (::ftruncate(archivo, 0) != 0 ||
      ::pwrite(archivo, entrada.data(), entrada.size(), 0) !=
          static_cast<ssize_t>(entrada.size()) ||
      ::lseek(archivo, 0, SEEK_SET) != 0)
    std::abort();

  LectorDeLineas lector(archivo, limite);
  tildo::ui::Vigia vigia;
  for (const auto& esperada : esperadas(entrada, limite)) {
    const auto linea = lector.siguiente();
    if (!linea || linea->texto != esperada.texto ||
        linea->demasiadoLarga != esperada.demasiadoLarga)
      std::abort();
    const Orden orden = tildo::ui::leerOrden(linea->texto);
    if (tildo::ui::leerOrden(mayusculasAscii(linea->texto)) != orden) std::abort();
    vigia.obedecer(orden);
    if (orden == Orden::suprimir && !vigia.estaSuprimido()) std::abort();
    if (orden == Orden::libre && vigia.estaSuprimido()) std::abort();
  }
  if (lector.siguiente()) std::abort();
  return 0;
}
