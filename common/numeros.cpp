#include "common/numeros.h"

#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <string>

namespace tildo {
namespace {

locale_t localeC() {
  static locale_t c = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(0));
  return c;
}

bool esBlanco(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace

std::optional<double> leerDoble(std::string_view texto) {
  if (texto.empty() || esBlanco(texto.front())) return std::nullopt;
  const std::string copia(texto);
  if (copia.find('\0') != std::string::npos) return std::nullopt;
  char* fin = nullptr;
  const double valor = strtod_l(copia.c_str(), &fin, localeC());
  if (fin != copia.c_str() + copia.size()) return std::nullopt;
  return valor;
}

std::optional<double> leerFinito(std::string_view texto) {
  auto valor = leerDoble(texto);
  if (!valor || !std::isfinite(*valor)) return std::nullopt;
  return valor;
}

std::optional<int64_t> leerEntero64(std::string_view texto) {
  bool negativo = false;
  if (!texto.empty() && (texto.front() == '+' || texto.front() == '-')) {
    negativo = texto.front() == '-';
    texto.remove_prefix(1);
  }
  if (texto.empty()) return std::nullopt;
  uint64_t magnitud = 0;
  auto [fin, error] = std::from_chars(texto.data(), texto.data() + texto.size(), magnitud);
  if (error != std::errc() || fin != texto.data() + texto.size()) return std::nullopt;
  constexpr uint64_t maximo = std::numeric_limits<int64_t>::max();
  if (negativo) {
    if (magnitud > maximo + 1) return std::nullopt;
    return magnitud == maximo + 1 ? std::numeric_limits<int64_t>::min()
                                  : -static_cast<int64_t>(magnitud);
  }
  if (magnitud > maximo) return std::nullopt;
  return static_cast<int64_t>(magnitud);
}

std::optional<int32_t> leerEntero32(std::string_view texto) {
  auto valor = leerEntero64(texto);
  if (!valor || *valor < std::numeric_limits<int32_t>::min() ||
      *valor > std::numeric_limits<int32_t>::max())
    return std::nullopt;
  return static_cast<int32_t>(*valor);
}

std::optional<int64_t> truncar(double valor) {
  const double t = std::trunc(valor);
  // 2^63 is exact as a double; NaN fails both comparisons.
  if (!(t >= -9223372036854775808.0 && t < 9223372036854775808.0)) return std::nullopt;
  return static_cast<int64_t>(t);
}

std::optional<int64_t> redondear(double valor) {
  return truncar(std::round(valor));
}

}  // namespace tildo
