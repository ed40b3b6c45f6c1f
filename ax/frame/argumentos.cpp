#include "ax/frame/argumentos.h"

#include <array>

namespace tildo {
namespace {

constexpr std::array<std::string_view, 6> BANDERAS_CON_VALOR = {"--app",  "--depth", "--max",
                                                                "--name", "--pid",   "--titulo"};

}  // namespace

Argumentos argumentosDeAx(std::vector<std::string> args) {
  return Argumentos(std::move(args), BANDERAS_CON_VALOR);
}

}  // namespace tildo
