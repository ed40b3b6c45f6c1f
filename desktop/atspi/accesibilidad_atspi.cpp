#include "desktop/atspi/accesibilidad_atspi.h"

#include "desktop/atspi/elemento_atspi.h"
#include "desktop/atspi/registro.h"
#include "desktop/atspi/sesion.h"

namespace tildo {

using atspi::appsDelRegistro;
using atspi::ElementoAtspi;

namespace {

// An application of a session without an accessibility bus: its windows are the window
// manager's to list and move, and reading anything else says why it cannot be.
class AplicacionSinBus : public Elemento {
 public:
  AplicacionSinBus(SesionAtspi& s, FuenteDeVentanas* fuente, int32_t pid)
      : s_(s), fuente_(fuente), pid_(pid) {}
  std::optional<Valor> atributo(std::string_view nombre) override {
    const bool deVentanas =
        nombre == "AXWindows" || nombre == "AXMainWindow" || nombre == "AXFocusedWindow";
    if (!deVentanas) s_.b();
    if (!fuente_) return std::nullopt;
    return AplicacionDeVentanas(*fuente_, pid_).atributo(nombre);
  }
  std::optional<std::vector<std::string>> acciones() override {
    s_.b();
    return std::nullopt;
  }
  int realizar(std::string_view) override {
    s_.b();
    return AX_ERROR;
  }
  int fijar(std::string_view, const Valor&) override { return AX_ERROR; }

 private:
  SesionAtspi& s_;
  FuenteDeVentanas* fuente_;
  int32_t pid_;
};

}  // namespace

AccesibilidadAtspi::AccesibilidadAtspi(SistemaDeVentanas& sistema, FuenteDeVentanas* ventanas)
    : s_(sesionDe(sistema)) {
  if (ventanas) s_->ventanas = ventanas;
}

AccesibilidadAtspi::~AccesibilidadAtspi() = default;

ElementoRef AccesibilidadAtspi::aplicacion(int32_t pid) {
  if (!s_->bus) return std::make_shared<AplicacionSinBus>(*s_, s_->ventanas, pid);
  if (auto it = s_->raices.find(pid); it != s_->raices.end())
    return std::make_shared<ElementoAtspi>(s_, it->second, pid);
  for (auto& app : appsDelRegistro(*s_, std::nullopt))
    if (app.pid == pid) return std::make_shared<ElementoAtspi>(s_, app.raiz, pid);
  // Not on the bus: its windows are still the window manager's to move.
  if (s_->ventanas) return std::make_shared<AplicacionDeVentanas>(*s_->ventanas, pid);
  return std::make_shared<ElementoMudo>();
}
bool AccesibilidadAtspi::confiable() {
  bool registro = false;
  appsDelRegistro(*s_, std::nullopt, &registro);
  return s_->encendida && registro;
}

}  // namespace tildo
