// tildo-ax itself carries neither the accessibility backend nor the Wayland one: a program that
// exports its code to a module starts measurably slower, and the pointer and keyboard commands
// are run far more often than the ones that reach the bus; the Wayland libraries are shared
// only. The commands that reach the bus, and every command in a Wayland session, are handed,
// whole command line and all, to tildo-ax-accesibilidad, which takes this process's place: the
// caller still sees one run of tildo-ax, with its process, its one reply and its exit code.

#include <unistd.h>

#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "common/archivos.h"
#include "common/fallo.h"
#include "desktop/atspi/modulo.h"
#include "desktop/linux/escritorio_linux.h"
#include "desktop/wayland/escritorio_wayland.h"

namespace tildo {

namespace {

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
  // The X connection is closed on exec; nothing else of this run is left to undo.
  if (!e && !argumentos.empty()) ::execv(ruta.c_str(), argv.data());
  fallo("no pude cargar el módulo de accesibilidad " + ruta.string());
}

}  // namespace

// Every command reaches the bus before it posts any input or writes anything.
PuertosAtspi abrirAtspi(ConexionX11&, const std::function<ServidorVentanas&()>&,
                        const std::function<VentanasDeAplicacion*()>&) {
  relevar();
}

// The Wayland backend needs libwayland-client and xkbcommon, which come only as shared
// libraries: the other program has them, and makes the choice between Wayland and X itself.
std::unique_ptr<Escritorio> escritorioWayland() {
  relevar();
}

}  // namespace tildo
