#pragma once
// What a person learns of a built program by asking it.

#include <string>
#include <vector>

namespace tildo::prueba {

// Checks a program's command word: without one it names the commands (uso) and fails with 2;
// "--help" and "--version" alone print their text and succeed, the usage naming every one of
// the commands; with another argument, spelt otherwise, or a command word that is not quite
// one, they are unknown command words.
void comprobarComandos(const std::string& programa, const std::vector<std::string>& comandos,
                       const std::string& uso);

}  // namespace tildo::prueba
