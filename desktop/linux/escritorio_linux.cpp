#include "desktop/linux/escritorio_linux.h"

#include <dlfcn.h>

#include <filesystem>
#include <system_error>

#include "common/fallo.h"
#include "desktop/atspi/modulo.h"
#include "desktop/x11/conexion.h"
#include "desktop/x11/entrada_x11.h"
#include "desktop/x11/pantallas_x11.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {
namespace {

// The module sits where the program's installation keeps it, relative to the running binary
// so that the build tree and any prefix work alike. It is never closed: GLib and D-Bus cannot
// be unloaded from a process.
PuertosAtspi abrirAtspi(ConexionX11& conexion, ServidorVentanas& servidor,
                        VentanasDeAplicacion* ventanas) {
  std::error_code e;
  const auto programa = std::filesystem::read_symlink("/proc/self/exe", e);
  const auto ruta = (programa.parent_path() / TILDO_MODULOS / "tildo-atspi.so").lexically_normal();
  void* modulo = e ? nullptr : dlopen(ruta.c_str(), RTLD_NOW | RTLD_LOCAL);
  auto* fabrica =
      modulo ? reinterpret_cast<decltype(&puertosAtspi)>(dlsym(modulo, "puertosAtspi")) : nullptr;
  if (!fabrica) fallo("no pude cargar el módulo de accesibilidad " + ruta.string());
  PuertosAtspi puertos;
  fabrica(conexion, servidor, ventanas, puertos);
  return puertos;
}

}  // namespace

EscritorioLinux::EscritorioLinux(std::unique_ptr<ConexionX11> conexion)
    : conexion_(std::move(conexion)) {}

EscritorioLinux::~EscritorioLinux() = default;

Entrada& EscritorioLinux::entrada() {
  if (!entrada_) entrada_ = std::make_unique<EntradaX11>(*conexion_);
  return *entrada_;
}

Pantallas& EscritorioLinux::pantallas() {
  // Owners are named by their program, as the workspace names the applications the
  // accessibility bus does not: reaching the bus would cost the list more than it tells.
  if (!pantallas_)
    pantallas_ = std::make_unique<PantallasX11>(*conexion_, servidor(), nombreDeProceso);
  return *pantallas_;
}

// Elements come from the AT-SPI bus; an application's windows from the window manager, so
// that they can be moved and minimised.
Accesibilidad& EscritorioLinux::accesibilidad() {
  return *atspi().accesibilidad;
}

Espacio& EscritorioLinux::espacio() {
  return *atspi().espacio;
}

PuertosAtspi& EscritorioLinux::atspi() {
  if (!atspi_)
    atspi_ = std::make_unique<PuertosAtspi>(abrirAtspi(*conexion_, servidor(), &ventanas()));
  return *atspi_;
}

VentanasDeAplicacion& EscritorioLinux::ventanas() {
  if (!ventanas_) ventanas_ = std::make_unique<VentanasDeAplicacion>(servidor());
  return *ventanas_;
}

ServidorVentanas& EscritorioLinux::servidor() {
  if (!servidor_) servidor_ = std::make_unique<ServidorVentanas>(*conexion_);
  return *servidor_;
}

}  // namespace tildo
