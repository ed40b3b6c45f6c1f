#pragma once
// The desktop of a wlroots compositor (sway, Hyprland, river, labwc): input through the virtual
// pointer and keyboard protocols, screens through wl_output and xdg-output, windows through
// sway's IPC where it answers, else through the foreign-toplevel protocol, elements inside
// applications through the AT-SPI module, measured from their window's place.

#include <memory>

#include "desktop/escritorio.h"

namespace tildo {

class ConexionWayland;
class EntradaWayland;
class Sway;
class VentanasCompositor;
struct PuertosAtspi;

// The Wayland desktop WAYLAND_DISPLAY names, when its compositor lets clients post input;
// nothing otherwise. libwayland-client and xkbcommon come only as shared libraries, so the
// static tildo-ax hands every Wayland session's command over to the program that has them
// (linux/atspi_relevo.cpp) and never returns from here.
std::unique_ptr<Escritorio> escritorioWayland();

class EscritorioWayland : public Escritorio {
 public:
  explicit EscritorioWayland(std::unique_ptr<ConexionWayland> conexion);
  ~EscritorioWayland() override;

  Entrada& entrada() override;
  Pantallas& pantallas() override;
  Accesibilidad& accesibilidad() override;
  Espacio& espacio() override;

 private:
  // The compositor's windows, on first use: sway's IPC where it answers, else the
  // foreign-toplevel protocol; null where neither is there.
  VentanasCompositor* ventanas();
  // Both ports of the AT-SPI module, opened on the first use of either.
  PuertosAtspi& atspi();

  // Declared first so that it outlives every port made from it.
  std::unique_ptr<ConexionWayland> conexion_;
  std::unique_ptr<Sway> sway_;
  bool ventanasIntentadas_ = false;
  std::unique_ptr<VentanasCompositor> ventanas_;
  std::unique_ptr<EntradaWayland> entrada_;
  std::unique_ptr<Pantallas> pantallas_;
  std::unique_ptr<PuertosAtspi> atspi_;
};

}  // namespace tildo
