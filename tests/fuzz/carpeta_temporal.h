#pragma once
// A private temporary directory for a harness's files, removed when the process ends.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace tildo::fuzz {

inline const std::string& carpetaTemporal() {
  // Never destroyed, so the removal at exit still has the name.
  static const std::string* carpeta = [] {
    char plantilla[] = "/tmp/tildo-fuzz-XXXXXX";
    auto creada = new std::string(::mkdtemp(plantilla));
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(*carpeta, ec);
    });
    return creada;
  }();
  return *carpeta;
}

}  // namespace tildo::fuzz
