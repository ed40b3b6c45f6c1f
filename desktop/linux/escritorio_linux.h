#pragma once
// The real Linux desktop: the X display (input, and later windows and screens) and the
// accessibility bus, whose backend is a module opened on first use. Each port is made on first
// use; all X11 ports share one connection.

#include <functional>
#include <memory>

#include "desktop/escritorio.h"

namespace tildo {

class ConexionX11;
class EntradaX11;
struct PuertosAtspi;
class ServidorVentanas;
class VentanasDeAplicacion;

// How this program reaches the AT-SPI ports; each program links one of two ways
// (linux/atspi_modulo.cpp, linux/atspi_relevo.cpp). The window server and the windows are
// asked for only by the way that uses them: the program that hands the command over opens no
// display first.
PuertosAtspi abrirAtspi(ConexionX11& conexion, const std::function<ServidorVentanas&()>& servidor,
                        const std::function<VentanasDeAplicacion*()>& ventanas);

class EscritorioLinux : public Escritorio {
 public:
  // Takes a connection not yet open: each port opens it as it needs.
  explicit EscritorioLinux(std::unique_ptr<ConexionX11> conexion);
  ~EscritorioLinux() override;

  Entrada& entrada() override;
  Pantallas& pantallas() override;
  Accesibilidad& accesibilidad() override;
  Espacio& espacio() override;

 private:
  ServidorVentanas& servidor();
  // Both ports of the AT-SPI module, opened on the first use of either.
  PuertosAtspi& atspi();
  VentanasDeAplicacion& ventanas();

  // Declared first so that it outlives every port made from it.
  std::unique_ptr<ConexionX11> conexion_;
  std::unique_ptr<ServidorVentanas> servidor_;
  std::unique_ptr<EntradaX11> entrada_;
  std::unique_ptr<Pantallas> pantallas_;
  std::unique_ptr<VentanasDeAplicacion> ventanas_;
  std::unique_ptr<PuertosAtspi> atspi_;
};

}  // namespace tildo
