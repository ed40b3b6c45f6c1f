#include "common/ayuda.h"

#include <cstdio>

namespace tildo {

std::optional<std::string> textoDeAyuda(const std::vector<std::string>& args,
                                        const std::string& programa, const std::string& uso) {
  if (args.size() != 1) return std::nullopt;
  if (args[0] == "--help") return uso;
  if (args[0] == "--version") return programa + " " + TILDO_VERSION + "\n";
  return std::nullopt;
}

bool responderAyuda(const std::vector<std::string>& args, const std::string& programa,
                    const std::string& uso) {
  const auto texto = textoDeAyuda(args, programa, uso);
  if (!texto) return false;
  std::fwrite(texto->data(), 1, texto->size(), stdout);
  std::fflush(stdout);
  return true;
}

}  // namespace tildo
