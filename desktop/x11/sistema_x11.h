#pragma once
// The X display as the accessibility backend sees it: toolkits give places on the root window,
// measured here from the primary monitor's corner; GTK 4 gives them in its X window.

#include "desktop/sistema_de_ventanas.h"

namespace tildo {

class ConexionX11;
class ServidorVentanas;

class SistemaX11 : public SistemaDeVentanas {
 public:
  SistemaX11(ConexionX11& conexion, ServidorVentanas& servidor)
      : conexion_(conexion), servidor_(servidor) {}
  std::string direccionDeAccesibilidad() override;
  std::optional<int32_t> pidActivo() override;
  bool tieneVentanaEn(int32_t pid, Punto global) override;
  DuenosDeVentanas duenos() override;
  std::optional<Punto> origenDePantalla() override;
  std::optional<Punto> origenEnVentana(int32_t pid, const std::string& titulo,
                                       Medidas contenido) override;

 private:
  ConexionX11& conexion_;
  ServidorVentanas& servidor_;
};

}  // namespace tildo
