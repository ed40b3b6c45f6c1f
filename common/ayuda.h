#pragma once
// "--help" and "--version", the words a person types to learn what a program is. Given as the
// only argument they print text for a person and succeed; anywhere else they are words like any
// other, and the program's frame answers them as it answers any word it does not know.

#include <optional>
#include <string>
#include <vector>

namespace tildo {

// The text for the arguments when they ask for usage (uso) or for the program's version.
std::optional<std::string> textoDeAyuda(const std::vector<std::string>& args,
                                        const std::string& programa, const std::string& uso);

// Writes that text to standard output and says whether it did.
bool responderAyuda(const std::vector<std::string>& args, const std::string& programa,
                    const std::string& uso);

}  // namespace tildo
