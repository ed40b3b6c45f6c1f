// The AT-SPI ports from the module beside this program, which binds to the code and the C++
// runtime the program exports (desktop/CMakeLists.txt).

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "common/fallo.h"
#include "desktop/atspi/modulo.h"
#include "desktop/linux/escritorio_linux.h"
#include "desktop/x11/sistema_x11.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {

// The module is found relative to the running binary, so that the build tree and any prefix
// work alike. It is never closed: GLib and D-Bus cannot be unloaded from a process.
PuertosAtspi abrirModuloAtspi(std::unique_ptr<SistemaDeVentanas> sistema,
                              FuenteDeVentanas* ventanas) {
  std::error_code e;
  const auto programa = std::filesystem::read_symlink("/proc/self/exe", e);
  const auto ruta = programa.parent_path() / "tildo-atspi.so";
  void* modulo = e ? nullptr : dlopen(ruta.c_str(), RTLD_NOW | RTLD_LOCAL);
  auto* fabrica =
      modulo ? reinterpret_cast<decltype(&puertosAtspi)>(dlsym(modulo, "puertosAtspi")) : nullptr;
  if (!fabrica) fallo("no pude cargar el módulo de accesibilidad " + ruta.string());
  PuertosAtspi puertos;
  fabrica(*sistema, ventanas, puertos);
  puertos.sistema = std::move(sistema);
  return puertos;
}

PuertosAtspi abrirAtspi(ConexionX11& conexion, const std::function<ServidorVentanas&()>& servidor,
                        const std::function<VentanasDeAplicacion*()>& ventanas) {
  auto sistema = std::make_unique<SistemaX11>(conexion, servidor());
  return abrirModuloAtspi(std::move(sistema), ventanas());
}

}  // namespace tildo
