#include "ui/frame/lineas.h"

#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/numeros.h"

namespace tildo::ui {
namespace {

// One write call for the whole buffer unless the kernel takes less (a pipe that is full).
void escribirTodo(int fd, const std::string& bytes) {
  size_t hecho = 0;
  while (hecho < bytes.size()) {
    const ssize_t n = ::write(fd, bytes.data() + hecho, bytes.size() - hecho);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    hecho += static_cast<size_t>(n);
  }
}

bool tomaValor(const std::string& opcion) {
  for (const char* o : {"--x", "--y", "--segundos", "--etiqueta", "--texto", "--voz"})
    if (opcion == o) return true;
  return false;
}

}  // namespace

std::optional<std::string> bandera(const Args& args, const std::string& nombre) {
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] != nombre) continue;
    if (i + 1 < args.size()) return args[i + 1];
    return std::nullopt;
  }
  return std::nullopt;
}

bool tiene(const Args& args, const std::string& nombre) {
  for (const auto& a : args)
    if (a == nombre) return true;
  return false;
}

std::vector<double> numeros(const Args& args) {
  std::vector<double> resultado;
  bool saltar = false;
  for (size_t i = 0; i < args.size(); ++i) {
    if (saltar) {
      saltar = false;
      continue;
    }
    const std::string& a = args[i];
    if (a.starts_with("--")) {
      saltar = tomaValor(a) && i + 1 < args.size();
      continue;
    }
    if (auto n = leerDoble(a)) resultado.push_back(*n);
  }
  return resultado;
}

void escribirLinea(const Json& objeto) {
  auto texto = escribirJson(objeto);
  if (!texto) return;
  texto->push_back('\n');
  escribirTodo(STDOUT_FILENO, *texto);
}

Json lineaDeFallo(const std::string& mensaje) {
  return {{"ok", false}, {"error", mensaje}};
}

void traza(const std::string& mensaje) {
  const char* depurar = std::getenv("TILDO_UI_DEBUG");
  if (!depurar || std::strcmp(depurar, "1") != 0) return;
  escribirTodo(STDERR_FILENO, "[tildo-ui] " + mensaje + "\n");
}

}  // namespace tildo::ui
