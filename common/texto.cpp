#include "common/texto.h"

#include <algorithm>
#include <memory>

#include <unicode/brkiter.h>
#include <unicode/locid.h>
#include <unicode/uchar.h>
#include <unicode/unistr.h>
#include <unicode/utext.h>
#include <unicode/utf8.h>

namespace tildo {
namespace {

// Offsets (in bytes) where each grapheme cluster of the text begins, plus the text's end.
std::vector<size_t> limitesDeGrafemas(std::string_view texto) {
  std::vector<size_t> limites;
  UErrorCode estado = U_ZERO_ERROR;
  std::unique_ptr<icu::BreakIterator> it(
      icu::BreakIterator::createCharacterInstance(icu::Locale::getRoot(), estado));
  UText* ut = utext_openUTF8(nullptr, texto.data(), static_cast<int64_t>(texto.size()), &estado);
  if (U_FAILURE(estado) || !it) {
    if (ut) utext_close(ut);
    return {0, texto.size()};
  }
  it->setText(ut, estado);
  for (int32_t p = it->first(); p != icu::BreakIterator::DONE; p = it->next())
    limites.push_back(static_cast<size_t>(p));
  utext_close(ut);
  if (limites.empty()) limites.push_back(0);
  return limites;
}

}  // namespace

bool utf8Valido(std::string_view texto) {
  const auto* s = reinterpret_cast<const uint8_t*>(texto.data());
  const auto largo = static_cast<int32_t>(texto.size());
  int32_t i = 0;
  while (i < largo) {
    UChar32 c;
    U8_NEXT(s, i, largo, c);
    if (c < 0) return false;
  }
  return true;
}

std::string utf8Reparado(std::string_view texto, bool cortado) {
  auto largo = static_cast<int32_t>(texto.size());
  if (cortado) U8_TRUNCATE_IF_INCOMPLETE(reinterpret_cast<const uint8_t*>(texto.data()), 0, largo);
  if (utf8Valido(texto.substr(0, static_cast<size_t>(largo))))
    return std::string(texto.substr(0, static_cast<size_t>(largo)));
  // ICU's conversion puts U+FFFD in place of whatever does not decode.
  std::string salida;
  icu::UnicodeString::fromUTF8(icu::StringPiece(texto.data(), largo)).toUTF8String(salida);
  return salida;
}

std::string utf8DeLatin1(std::string_view bytes) {
  icu::UnicodeString texto;
  for (unsigned char c : bytes) texto.append(static_cast<char16_t>(c));
  std::string salida;
  texto.toUTF8String(salida);
  return salida;
}

std::vector<std::string> grafemas(std::string_view texto) {
  const auto limites = limitesDeGrafemas(texto);
  std::vector<std::string> partes;
  for (size_t i = 0; i + 1 < limites.size(); ++i)
    partes.emplace_back(texto.substr(limites[i], limites[i + 1] - limites[i]));
  return partes;
}

size_t contarGrafemas(std::string_view texto) {
  if (texto.empty()) return 0;
  return limitesDeGrafemas(texto).size() - 1;
}

std::string primerosGrafemas(std::string_view texto, size_t n) {
  const auto limites = limitesDeGrafemas(texto);
  if (n + 1 >= limites.size()) return std::string(texto);
  return std::string(texto.substr(0, limites[n]));
}

std::string minusculas(std::string_view texto) {
  // ICU's case mapping sets up its locale data on first use, which costs a key press about a
  // pointer move's time; ASCII lower-cases the same without it.
  if (std::all_of(texto.begin(), texto.end(), [](char c) { return (c & 0x80) == 0; })) {
    std::string salida(texto);
    for (char& c : salida)
      if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return salida;
  }
  auto u = icu::UnicodeString::fromUTF8(icu::StringPiece(texto.data(), texto.size()));
  u.toLower(icu::Locale::getRoot());
  std::string salida;
  u.toUTF8String(salida);
  return salida;
}

std::string recortarEspacios(std::string_view texto) {
  auto esEspacio = [](UChar32 c) { return c == '\t' || u_charType(c) == U_SPACE_SEPARATOR; };
  const auto* s = reinterpret_cast<const uint8_t*>(texto.data());
  const auto largo = static_cast<int32_t>(texto.size());
  int32_t inicio = 0;
  while (inicio < largo) {
    int32_t siguiente = inicio;
    UChar32 c;
    U8_NEXT(s, siguiente, largo, c);
    if (!esEspacio(c)) break;
    inicio = siguiente;
  }
  int32_t fin = largo;
  while (fin > inicio) {
    int32_t anterior = fin;
    UChar32 c;
    U8_PREV(s, 0, anterior, c);
    if (!esEspacio(c)) break;
    fin = anterior;
  }
  return std::string(texto.substr(static_cast<size_t>(inicio), static_cast<size_t>(fin - inicio)));
}

std::u16string utf16(std::string_view texto) {
  auto u = icu::UnicodeString::fromUTF8(icu::StringPiece(texto.data(), texto.size()));
  return std::u16string(u.getBuffer(), static_cast<size_t>(u.length()));
}

std::string utf8(std::u16string_view texto) {
  icu::UnicodeString u(texto.data(), static_cast<int32_t>(texto.size()));
  std::string salida;
  u.toUTF8String(salida);
  return salida;
}

}  // namespace tildo
