// The bar's screens and the pointer's buttons on the X display: the monitors and work area as
// tildo-ax reads them (the primary monitor less what panels reserve).
#include "desktop/ventanas_propias.h"
#include "desktop/x11/conexion.h"
#include "desktop/x11/pantallas_x11.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {
namespace {

class PantallasDeBarraX11 : public PantallasDeBarra {
 public:
  explicit PantallasDeBarraX11(std::unique_ptr<ConexionX11> conexion)
      : conexion_(std::move(conexion)), servidor_(*conexion_) {}

  std::vector<Pantalla> pantallas() override { return leidas().pantallas(); }
  std::optional<Pantalla> principal() override { return leidas().principal(); }

  bool hayBotonPulsado() override {
    Display* d = conexion_->pantalla();
    Window raiz, hijo;
    int x, y, xv, yv;
    unsigned mascara = 0;
    if (!XQueryPointer(d, DefaultRootWindow(d), &raiz, &hijo, &x, &y, &xv, &yv, &mascara))
      return false;
    return (mascara & (Button1Mask | Button2Mask | Button3Mask | Button4Mask | Button5Mask)) != 0;
  }

 private:
  // A fresh reader: it keeps the monitors it read for its whole life.
  PantallasX11& leidas() {
    pantallas_ = std::make_unique<PantallasX11>(
        *conexion_, servidor_, [](int32_t) { return std::optional<std::string>(); });
    return *pantallas_;
  }

  std::unique_ptr<ConexionX11> conexion_;
  ServidorVentanas servidor_;
  std::unique_ptr<PantallasX11> pantallas_;
};

}  // namespace

std::unique_ptr<PantallasDeBarra> pantallasDeBarra(void (*alPerderse)()) {
  ConexionX11::alPerderse(alPerderse);
  auto conexion = std::make_unique<ConexionX11>();
  if (!conexion->pantalla()) return nullptr;
  return std::make_unique<PantallasDeBarraX11>(std::move(conexion));
}

}  // namespace tildo
