#include "common/json.h"

#include <charconv>
#include <cmath>

#include "common/numeros.h"
#include "common/texto.h"

namespace tildo {
namespace {

bool escribirCadena(const std::string& s, std::string& salida) {
  if (!utf8Valido(s)) return false;
  salida += '"';
  for (unsigned char c : s) {
    switch (c) {
      case '"':
        salida += "\\\"";
        break;
      case '\\':
        salida += "\\\\";
        break;
      case '/':
        salida += "\\/";
        break;
      case '\b':
        salida += "\\b";
        break;
      case '\f':
        salida += "\\f";
        break;
      case '\n':
        salida += "\\n";
        break;
      case '\r':
        salida += "\\r";
        break;
      case '\t':
        salida += "\\t";
        break;
      default:
        if (c < 0x20) {
          static const char* hex = "0123456789abcdef";
          salida += "\\u00";
          salida += hex[c >> 4];
          salida += hex[c & 0xf];
        } else {
          salida += static_cast<char>(c);
        }
    }
  }
  salida += '"';
  return true;
}

// sangria < 0 writes the compact form; otherwise the pretty form at that depth.
bool escribir(const Json& v, std::string& salida, int sangria) {
  const bool bonito = sangria >= 0;
  auto nuevaLinea = [&](int nivel) {
    if (!bonito) return;
    salida += '\n';
    salida.append(static_cast<size_t>(nivel) * 2, ' ');
  };
  switch (v.type()) {
    case Json::value_t::null:
      salida += "null";
      return true;
    case Json::value_t::boolean:
      salida += v.get<bool>() ? "true" : "false";
      return true;
    case Json::value_t::number_integer:
      salida += std::to_string(v.get<int64_t>());
      return true;
    case Json::value_t::number_unsigned:
      salida += std::to_string(v.get<uint64_t>());
      return true;
    case Json::value_t::number_float: {
      auto texto = textoDeNumero(v.get<double>());
      if (!texto) return false;
      salida += *texto;
      return true;
    }
    case Json::value_t::string:
      return escribirCadena(v.get_ref<const std::string&>(), salida);
    case Json::value_t::array: {
      salida += '[';
      bool primero = true;
      for (const auto& e : v) {
        if (!primero) salida += ',';
        primero = false;
        nuevaLinea(sangria + 1);
        if (!escribir(e, salida, bonito ? sangria + 1 : -1)) return false;
      }
      if (!v.empty()) nuevaLinea(sangria);
      salida += ']';
      return true;
    }
    case Json::value_t::object: {
      salida += '{';
      bool primero = true;
      for (const auto& [clave, e] : v.items()) {
        if (!primero) salida += ',';
        primero = false;
        nuevaLinea(sangria + 1);
        if (!escribirCadena(clave, salida)) return false;
        salida += bonito ? " : " : ":";
        if (!escribir(e, salida, bonito ? sangria + 1 : -1)) return false;
      }
      if (!v.empty()) nuevaLinea(sangria);
      salida += '}';
      return true;
    }
    default:
      return false;
  }
}

std::optional<std::string> escribirCon(const Json& valor, int sangria) {
  std::string salida;
  if (!escribir(valor, salida, sangria)) return std::nullopt;
  return salida;
}

}  // namespace

std::optional<std::string> escribirJson(const Json& valor) {
  return escribirCon(valor, -1);
}

std::optional<std::string> escribirJsonBonito(const Json& valor) {
  return escribirCon(valor, 0);
}

std::optional<std::string> textoDeNumero(double numero) {
  if (!std::isfinite(numero)) return std::nullopt;
  if (numero == 0) return std::string("0");
  char buf[64];
  // Integral values within the range doubles hold exactly print as plain integers.
  if (std::trunc(numero) == numero && std::fabs(numero) < 1e17) {
    auto r = std::to_chars(buf, buf + sizeof buf, static_cast<int64_t>(numero));
    return std::string(buf, r.ptr);
  }
  auto r = std::to_chars(buf, buf + sizeof buf, numero);
  return std::string(buf, r.ptr);
}

void ponerTruncado(Json& destino, const char* clave, double valor) {
  if (auto n = truncar(valor)) destino[clave] = *n;
}

}  // namespace tildo
