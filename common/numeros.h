#pragma once
// Strict number reading for command-line arguments.

#include <cstdint>
#include <optional>
#include <string_view>

namespace tildo {

// A double as the C library's strtod reads it in the C locale (decimal and hexadecimal forms,
// exponents, inf and nan), but the whole text must be consumed and it may neither be empty nor
// start with white space.
std::optional<double> leerDoble(std::string_view texto);

// leerDoble, then only finite values: a coordinate or an amount that is nan or infinite is not
// a number for the commands that post it or print it.
std::optional<double> leerFinito(std::string_view texto);

// Signed decimal integers: an optional "+" or "-", then decimal digits only, within range.
std::optional<int64_t> leerEntero64(std::string_view texto);
std::optional<int32_t> leerEntero32(std::string_view texto);

// A coordinate truncated toward zero, or nothing when it is not finite or does not fit 64 bits.
std::optional<int64_t> truncar(double valor);

// A coordinate rounded to the nearest integer, halves away from zero (2.5 gives 3, -2.5 gives
// -3), or nothing when it is not finite or does not fit 64 bits.
std::optional<int64_t> redondear(double valor);

}  // namespace tildo
