// Replays fuzz inputs through a harness without libFuzzer: every file named, and every file in
// every directory named, in turn. A harness that finds a fault aborts, so the test fails.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#include "common/archivos.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* datos, size_t tamano);
// Optional, as for libFuzzer.
extern "C" __attribute__((weak)) int LLVMFuzzerInitialize(int* argc, char*** argv);

int main(int argc, char** argv) {
  if (LLVMFuzzerInitialize) LLVMFuzzerInitialize(&argc, &argv);
  std::vector<std::filesystem::path> entradas;
  for (int i = 1; i < argc; ++i) {
    if (std::filesystem::is_directory(argv[i])) {
      for (const auto& e : std::filesystem::directory_iterator(argv[i]))
        if (e.is_regular_file()) entradas.push_back(e.path());
    } else {
      entradas.emplace_back(argv[i]);
    }
  }
  for (const auto& ruta : entradas) {
    auto bytes = tildo::leerArchivo(ruta.string());
    if (!bytes) {
      std::fprintf(stderr, "no pude leer %s\n", ruta.c_str());
      return 1;
    }
    LLVMFuzzerTestOneInput(reinterpret_cast<const uint8_t*>(bytes->data()), bytes->size());
  }
  std::printf("%zu entradas reproducidas\n", entradas.size());
  return 0;
}
