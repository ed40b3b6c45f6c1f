#include "desktop/escritorio.h"

#include <string>

#include "common/fallo.h"
#include "common/lineas.h"
#include "desktop/linux/escritorio_linux.h"
#include "desktop/simulated/simulado.h"
#include "desktop/wayland/escritorio_wayland.h"

namespace tildo {
namespace {

// No desktop to reach: every port that would reach it says why.
class EscritorioInalcanzable : public Escritorio {
 public:
  explicit EscritorioInalcanzable(std::string motivo) : motivo_(std::move(motivo)) {}
  Entrada& entrada() override { inalcanzable(); }
  Pantallas& pantallas() override { inalcanzable(); }
  Accesibilidad& accesibilidad() override { inalcanzable(); }
  Espacio& espacio() override { inalcanzable(); }

 private:
  [[noreturn]] void inalcanzable() { fallo(motivo_); }
  std::string motivo_;
};

}  // namespace

std::unique_ptr<Escritorio> abrirEscritorio(bool conBus) {
  if (const auto descripcion = variableDeEntorno("TILDO_ESCRITORIO"))
    return std::make_unique<EscritorioSimulado>(*descripcion,
                                                variableDeEntorno("TILDO_REGISTRO").value_or(""));
  // A Wayland session wins over the X display it may also offer (XWayland reaches only X
  // clients) when its compositor lets clients post input.
  if (variableDeEntorno("WAYLAND_DISPLAY"))
    if (auto wayland = escritorioWayland()) return wayland;
  // The display is opened by the first port that needs it, with what that port needs.
  if (variableDeEntorno("DISPLAY")) return escritorioX11(conBus);
  return std::make_unique<EscritorioInalcanzable>(
      "no hay escritorio al que llegar: ni compositor Wayland que admita entrada virtual "
      "(WAYLAND_DISPLAY), ni pantalla X (DISPLAY), ni escritorio simulado (TILDO_ESCRITORIO)");
}

}  // namespace tildo
