#pragma once
// Screens, pointer and window list of the X display. Monitors come from XRandR, the primary
// one being the main display; the usable area from _NET_WORKAREA. Screen frames and the
// pointer are turned here, once, into the screen service's bottom-left convention.

#include <functional>

#include "desktop/pantallas.h"
#include "desktop/x11/conexion.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {

class PantallasX11 : public Pantallas {
 public:
  // nombreDe names a window's owner by its pid, as the workspace names applications.
  PantallasX11(ConexionX11& conexion, ServidorVentanas& servidor,
               std::function<std::optional<std::string>(int32_t)> nombreDe);
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
  // Monitors in root-window coordinates, the primary one first.
  const std::vector<Rect>& monitores();
  // A root-window rectangle in the bottom-left space of the primary monitor.
  Rect haciaAbajoIzquierda(const Rect& r);

  ConexionX11& conexion_;
  ServidorVentanas& servidor_;
  std::function<std::optional<std::string>(int32_t)> nombreDe_;
  std::optional<std::vector<Rect>> monitores_;
};

}  // namespace tildo
