#include "common/lineas.h"

#include <unistd.h>

#include <cstdlib>

#include "common/archivos.h"

namespace tildo {

Json respuestaDeFallo(const std::string& mensaje) {
  return {{"ok", false}, {"error", mensaje}};
}

bool escribirLinea(const Json& objeto) {
  auto texto = escribirJson(objeto);
  if (!texto) return false;
  texto->push_back('\n');
  escribirTodo(STDOUT_FILENO, *texto);
  return true;
}

std::optional<std::string> variableDeEntorno(const char* nombre) {
  const char* valor = std::getenv(nombre);
  if (!valor || !*valor) return std::nullopt;
  return std::string(valor);
}

}  // namespace tildo
