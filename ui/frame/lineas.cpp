#include "ui/frame/lineas.h"

#include <unistd.h>

#include <array>

#include "common/archivos.h"

namespace tildo::ui {
namespace {

constexpr std::array<std::string_view, 6> OPCIONES_CON_VALOR = {
    "--x", "--y", "--segundos", "--etiqueta", "--texto", "--voz"};

}  // namespace

Argumentos argumentosDeUi(std::vector<std::string> args) {
  return Argumentos(std::move(args), OPCIONES_CON_VALOR);
}

void traza(const std::string& mensaje) {
  if (variableDeEntorno("TILDO_UI_DEBUG") != "1") return;
  escribirTodo(STDERR_FILENO, "[tildo-ui] " + mensaje + "\n");
}

}  // namespace tildo::ui
