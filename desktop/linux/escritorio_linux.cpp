#include "desktop/linux/escritorio_linux.h"

#include "common/fallo.h"
#include "desktop/x11/conexion.h"
#include "desktop/x11/entrada_x11.h"
#include "desktop/x11/pantallas_x11.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {

EscritorioLinux::EscritorioLinux(std::unique_ptr<ConexionX11> conexion)
    : conexion_(std::move(conexion)) {}

EscritorioLinux::~EscritorioLinux() = default;

Entrada& EscritorioLinux::entrada() {
  if (!entrada_) entrada_ = std::make_unique<EntradaX11>(*conexion_);
  return *entrada_;
}

Pantallas& EscritorioLinux::pantallas() {
  // Owners stay unnamed here: naming a process is the workspace port's job.
  if (!pantallas_)
    pantallas_ = std::make_unique<PantallasX11>(
        *conexion_, servidor(), [](int32_t) { return std::optional<std::string>(); });
  return *pantallas_;
}

// Elements and applications come from the AT-SPI bus, which this desktop does not reach.
Accesibilidad& EscritorioLinux::accesibilidad() {
  fallo("no puedo leer la accesibilidad de este escritorio (AT-SPI)");
}

Espacio& EscritorioLinux::espacio() {
  fallo("no puedo leer la accesibilidad de este escritorio (AT-SPI)");
}

ServidorVentanas& EscritorioLinux::servidor() {
  if (!servidor_) servidor_ = std::make_unique<ServidorVentanas>(*conexion_);
  return *servidor_;
}

}  // namespace tildo
