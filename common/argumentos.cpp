#include "common/argumentos.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "common/archivos.h"
#include "common/fallo.h"
#include "common/numeros.h"
#include "common/texto.h"

namespace tildo {

std::optional<std::string> Argumentos::bandera(std::string_view nombre) const {
  auto it = std::find(args_.begin(), args_.end(), nombre);
  if (it == args_.end() || it + 1 == args_.end()) return std::nullopt;
  return *(it + 1);
}

bool Argumentos::tiene(std::string_view nombre) const {
  return std::find(args_.begin(), args_.end(), nombre) != args_.end();
}

std::vector<std::string> Argumentos::posicionales() const {
  std::vector<std::string> resultado;
  for (size_t i = 0; i < args_.size(); ++i) {
    if (!args_[i].starts_with("--")) {
      resultado.push_back(args_[i]);
    } else if (std::find(conValor_.begin(), conValor_.end(), args_[i]) != conValor_.end()) {
      ++i;
    }
  }
  return resultado;
}

std::vector<double> Argumentos::numeros() const {
  std::vector<double> resultado;
  for (const auto& a : posicionales())
    if (auto n = leerDoble(a)) resultado.push_back(*n);
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
