#pragma once
// JSON values and the two printed forms the programs use.
//
// Values are nlohmann::json: its objects keep their keys in ascending order, and it tells
// integers from doubles. Printing is ours, because the replies must look exactly as the
// platform writer prints them ("/" written as "\/", non-ASCII left as UTF-8), which no
// library writes as such.

#include <optional>
#include <string>

#include <nlohmann/json.hpp>

namespace tildo {

using Json = nlohmann::json;

// Compact form: no spaces or line breaks, keys ascending at every level. Nothing when the
// value holds something JSON cannot carry (a double that is not finite, text that is not
// UTF-8).
std::optional<std::string> escribirJson(const Json& valor);

// Pretty form of the settings files: one entry per line, two spaces of indentation per level,
// " : " between key and value, no line feed after the last brace.
std::optional<std::string> escribirJsonBonito(const Json& valor);

// The textual form of a number as the platform writes it: integral values without a fraction,
// others in the shortest form that reads back as the same double. Nothing when not finite.
std::optional<std::string> textoDeNumero(double numero);

// Sets the key to the value truncated towards zero, only when it has an integer form (finite,
// within 64 bits): a reply is always produced, without the coordinates that have none.
void ponerTruncado(Json& destino, const char* clave, double valor);

}  // namespace tildo
