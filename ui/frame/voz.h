#pragma once
// Speech: the `decir` command says a text with the system's speech program.

#include <optional>
#include <string>
#include <vector>

#include "ui/frame/lineas.h"

namespace tildo::ui {

struct Dicho {
  std::string texto;
  std::optional<std::string> voz;
};

// The text is the value of --texto, else every argument joined with single spaces (options
// included); the voice is the value of --voz. Fails with "decir necesita --texto" when the
// text is only spaces and tabs.
Dicho queDecir(const Argumentos& args);

// The speech program: TILDO_VOZ_PROGRAMA when set (a stand-in taking say's arguments), else
// /usr/bin/say when it exists, else espeak-ng from PATH.
struct ProgramaDeVoz {
  std::string ruta;
  bool espeak = false;  // espeak-ng, which reads a leading "-" of the text as an option
};
ProgramaDeVoz programaDeVoz();

// The arguments after the program's name: the first 300 user-perceived characters, then "-v"
// and the voice when there is a non-empty one. espeak-ng gets the same words with its options
// first and the text after "--".
std::vector<std::string> argumentosDeVoz(const std::string& texto,
                                         const std::optional<std::string>& voz, bool espeak);

// The success line: the speech program's status and the first 120 characters said.
Json lineaDeDicho(int codigo, const std::string& texto);

// Speaks and waits. Prints the success line and ends the process with 0; a termination signal
// kills the speech program at once and ends with 0 printing nothing. Fails with
// "no pude hablar: …" when the program cannot be started.
[[noreturn]] void decir(const std::string& texto, const std::optional<std::string>& voz);

}  // namespace tildo::ui
