#pragma once
// Unicode text as users see it: user-perceived characters (extended grapheme clusters),
// full lower-casing and the white-space set used for trimming. All text is UTF-8.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace tildo {

bool utf8Valido(std::string_view texto);
// Text from a peer that promised UTF-8: every ill-formed sequence becomes U+FFFD, except one
// left incomplete at the very end of a text that was `cortado` at a byte limit, which is
// dropped.
std::string utf8Reparado(std::string_view texto, bool cortado = false);

// Latin-1 (ISO 8859-1) bytes as UTF-8: each byte is the code point of the same number.
std::string utf8DeLatin1(std::string_view bytes);

// The text split into its extended grapheme clusters, in order.
std::vector<std::string> grafemas(std::string_view texto);
size_t contarGrafemas(std::string_view texto);
// The first n user-perceived characters (all of the text when it is shorter).
std::string primerosGrafemas(std::string_view texto, size_t n);

// Full Unicode lower-case mapping of the whole text, independent of any locale.
std::string minusculas(std::string_view texto);

// Both ends trimmed of space separators (general category Zs) and tabs; line breaks stay.
std::string recortarEspacios(std::string_view texto);

std::u16string utf16(std::string_view texto);
std::string utf8(std::u16string_view texto);

}  // namespace tildo
