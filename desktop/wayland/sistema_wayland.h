#pragma once
// A wlroots compositor as the accessibility backend sees it: toolkits give their elements'
// places in their own window, and the compositor's window source tells where each window's
// content is (sway's IPC does; the foreign-toplevel protocol does not, and elements then have no
// place). There is no accessibility bus published on a display: the session bus's launcher has
// it.

#include <optional>
#include <vector>

#include "desktop/sistema_de_ventanas.h"
#include "desktop/wayland/ventanas_wayland.h"

namespace tildo {

class SistemaWayland : public SistemaDeVentanas {
 public:
  // ventanas may be null: a compositor that tells no client its windows.
  explicit SistemaWayland(VentanasCompositor* ventanas) : ventanas_(ventanas) {}
  std::string direccionDeAccesibilidad() override { return {}; }
  std::optional<int32_t> pidActivo() override;
  bool tieneVentanaEn(int32_t pid, Punto global) override;
  DuenosDeVentanas duenos() override;
  std::optional<Punto> origenDePantalla() override { return std::nullopt; }
  std::optional<Punto> origenEnVentana(int32_t pid, const std::string& titulo,
                                       Medidas contenido) override;

 private:
  // The compositor's windows, asked once a run: a command reads them for every frame it places.
  const std::vector<VentanaCompositor>& todas();

  VentanasCompositor* ventanas_;
  std::optional<std::vector<VentanaCompositor>> todas_;
};

}  // namespace tildo
