// tildo-ax itself carries neither the accessibility backend nor the Wayland one: libdbus and the
// Wayland libraries are shared only, and a static program with none of them starts measurably
// faster; the pointer and keyboard commands are run far more often than the ones that reach the
// bus. The commands that reach the bus, and every command in a Wayland session, are handed,
// whole command line and all, to tildo-ax-accesibilidad before anything is opened; it takes this
// process's place: the caller still sees one run of tildo-ax, with its process, its one reply
// and its exit code.

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "common/archivos.h"
#include "common/fallo.h"
#include "desktop/linux/escritorio_linux.h"
#include "desktop/wayland/escritorio_wayland.h"
#include "desktop/x11/conexion.h"

namespace tildo {

namespace {

// A walk of a big tree holds a few megabytes of answers, and on virtual machines each page
// touched for the first time costs a fault that is dear: glibc's malloc asks the kernel for
// huge pages where it grants them on request, which takes a fifth off the CPU of a walk of a
// web page (Chromium's long page: 2,984 page faults a walk with small pages, 1,283 with huge).
// Tunables are read when the program starts, so they go with the hand-over.
void conPaginasGrandes() {
  constexpr std::string_view AJUSTE = "glibc.malloc.hugetlb=1";
  const char* previos = std::getenv("GLIBC_TUNABLES");
  std::string ajustes = previos ? previos : "";
  if (ajustes.find("glibc.malloc.hugetlb") != std::string::npos) return;
  ajustes += ajustes.empty() ? AJUSTE : ":" + std::string(AJUSTE);
  ::setenv("GLIBC_TUNABLES", ajustes.c_str(), 1);
}

// The other program takes this process's place and starts the command over.
[[noreturn]] void relevar() {
  std::error_code e;
  const auto programa = std::filesystem::read_symlink("/proc/self/exe", e);
  const auto ruta =
      (programa.parent_path() / TILDO_AYUDANTE / "tildo-ax-accesibilidad").lexically_normal();
  // The command line as the process was given it, arguments that are not UTF-8 included.
  const std::string bytes = leerArchivo("/proc/self/cmdline").value_or("");
  std::vector<std::string> argumentos;
  for (size_t i = 0; i < bytes.size();) {
    const size_t fin = bytes.find('\0', i);
    argumentos.push_back(bytes.substr(i, fin - i));
    i = fin == std::string::npos ? bytes.size() : fin + 1;
  }
  std::vector<char*> argv;
  for (auto& a : argumentos) argv.push_back(a.data());
  argv.push_back(nullptr);
  conPaginasGrandes();
  if (!e && !argumentos.empty()) ::execv(ruta.c_str(), argv.data());
  fallo("no pude cargar el módulo de accesibilidad " + ruta.string());
}

}  // namespace

std::unique_ptr<Escritorio> escritorioX11(bool conBus) {
  if (conBus) relevar();
  return std::make_unique<EscritorioLinux>(std::make_unique<ConexionX11>(), nullptr);
}

// The Wayland backend needs libwayland-client and xkbcommon, which come only as shared
// libraries: the other program has them, and makes the choice between Wayland and X itself.
std::unique_ptr<Escritorio> escritorioWayland() {
  relevar();
}

}  // namespace tildo
