#pragma once
// The real Linux desktop: the X display (input, windows and screens) and the accessibility bus.
// Each port is made on first use; all X11 ports share one connection.

#include <memory>

#include "desktop/escritorio.h"

namespace tildo {

class ConexionX11;
class EntradaX11;
struct PuertosAtspi;
class ServidorVentanas;
class VentanasDeAplicacion;

// The AT-SPI ports on the program's display and window source, which outlive them.
using FabricaAtspi = PuertosAtspi (*)(ConexionX11& conexion, ServidorVentanas& servidor,
                                      VentanasDeAplicacion* ventanas);

// The X display's desktop for a command that reaches the accessibility bus or not. Each program
// links one of two (linux/atspi_enlazado.cpp, with the AT-SPI backend; linux/atspi_relevo.cpp,
// without it, which hands a command that reaches the bus to the program that has it before
// anything is opened).
std::unique_ptr<Escritorio> escritorioX11(bool conBus);

class EscritorioLinux : public Escritorio {
 public:
  // Takes a connection not yet open: each port opens it as it needs. Without `atspi`, the
  // program has no accessibility ports.
  EscritorioLinux(std::unique_ptr<ConexionX11> conexion, FabricaAtspi atspi);
  ~EscritorioLinux() override;

  Entrada& entrada() override;
  Pantallas& pantallas() override;
  Accesibilidad& accesibilidad() override;
  Espacio& espacio() override;

 private:
  ServidorVentanas& servidor();
  // Both AT-SPI ports, made on the first use of either.
  PuertosAtspi& atspi();
  VentanasDeAplicacion& ventanas();

  // Declared first so that it outlives every port made from it.
  std::unique_ptr<ConexionX11> conexion_;
  FabricaAtspi fabricaAtspi_;
  std::unique_ptr<ServidorVentanas> servidor_;
  std::unique_ptr<EntradaX11> entrada_;
  std::unique_ptr<Pantallas> pantallas_;
  std::unique_ptr<VentanasDeAplicacion> ventanas_;
  std::unique_ptr<PuertosAtspi> atspi_;
};

}  // namespace tildo
