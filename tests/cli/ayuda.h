#pragma once
// What a person learns of a built program by asking it.

#include <string>
#include <vector>

namespace tildo::prueba {

// Checks "--help" and "--version" of a program: alone, each prints its text and succeeds, the
// usage naming every one of the commands; with another argument, or spelt otherwise, they are
// unknown command words.
void comprobarAyudaYVersion(const std::string& programa, const std::vector<std::string>& comandos);

}  // namespace tildo::prueba
