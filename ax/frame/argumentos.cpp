#include "ax/frame/argumentos.h"

#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>

#include "common/archivos.h"
#include "common/fallo.h"
#include "common/texto.h"

namespace tildo {
namespace {

constexpr std::array<const char*, 6> BANDERAS_CON_VALOR = {"--app",  "--depth", "--max",
                                                           "--name", "--pid",   "--titulo"};

bool esBandera(const std::string& a) {
  return a.rfind("--", 0) == 0;
}

bool tomaValor(const std::string& a) {
  return std::find(BANDERAS_CON_VALOR.begin(), BANDERAS_CON_VALOR.end(), a) !=
         BANDERAS_CON_VALOR.end();
}

}  // namespace

std::optional<std::string> Argumentos::bandera(const std::string& nombre) const {
  auto it = std::find(args_.begin(), args_.end(), nombre);
  if (it == args_.end() || it + 1 == args_.end()) return std::nullopt;
  return *(it + 1);
}

bool Argumentos::tiene(const std::string& nombre) const {
  return std::find(args_.begin(), args_.end(), nombre) != args_.end();
}

std::vector<std::string> Argumentos::posicionales() const {
  std::vector<std::string> resultado;
  for (size_t i = 0; i < args_.size(); ++i) {
    if (!esBandera(args_[i])) {
      resultado.push_back(args_[i]);
    } else if (tomaValor(args_[i])) {
      ++i;
    }
  }
  return resultado;
}

std::string leerStdin() {
  // Standard input may never end (/dev/zero): it is read up to the limit and no further.
  const auto bytes = leerDescriptor(STDIN_FILENO);
  if (!bytes && errno == EFBIG) fallo("la entrada estándar pasa de 16 MB");
  return bytes && utf8Valido(*bytes) ? *bytes : std::string();
}

std::string unir(const std::vector<std::string>& palabras) {
  std::string texto;
  for (size_t i = 0; i < palabras.size(); ++i) {
    if (i) texto += ' ';
    texto += palabras[i];
  }
  return texto;
}

}  // namespace tildo
