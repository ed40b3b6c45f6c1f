#pragma once
// Screens, pointer and window list of a wlroots compositor. Outputs come from wl_output and
// xdg-output (logical place and size, scale), the main display being the output at the layout's
// origin; the usable area from sway's IPC where it answers, the windows from the compositor's
// window source. Screen frames and
// the pointer are turned here, once, into the screen service's bottom-left convention.

#include "desktop/pantallas.h"
#include "desktop/wayland/conexion_wayland.h"
#include "desktop/wayland/sway.h"
#include "desktop/wayland/ventanas_wayland.h"

namespace tildo {

class PantallasWayland : public Pantallas {
 public:
  // sway may be null: a compositor without its IPC reserves no area. ventanas may be null: a
  // compositor that tells no client its windows lists none.
  PantallasWayland(ConexionWayland& conexion, Sway* sway, VentanasCompositor* ventanas);
  Rect limitesPrincipal() override;
  int64_t pixelesAncho() override;
  int64_t pixelesAlto() override;
  std::vector<Pantalla> pantallas() override;
  std::optional<Pantalla> principal() override;
  Punto puntero() override;
  std::optional<std::vector<DatosVentana>> listaVentanas() override;
  std::string versionSistema() override;
  bool capturaPermitida() override;

 private:
  Pantalla pantallaDe(const Salida& s);
  // A rectangle of the layout in the bottom-left space of the main output.
  Rect haciaAbajoIzquierda(const Rect& r);

  ConexionWayland& conexion_;
  Sway* sway_;
  VentanasCompositor* ventanas_;
  // Usable area of each output, by name, from the workspaces shown on them.
  std::optional<std::vector<std::pair<std::string, Rect>>> areas_;
};

}  // namespace tildo
