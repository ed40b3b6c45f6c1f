#pragma once
// Windows and applications of a wlroots compositor, as the compositor knows them: through
// sway's IPC where it answers (frames, pids, placing), else through the foreign-toplevel
// protocol (titles, app ids, focus, minimising; no frames, no pids, no placing). They are the
// windows of the applications on the accessibility bus.

#include <cstdint>
#include <optional>
#include <vector>

#include "desktop/accesibilidad.h"
#include "desktop/fuente_ventanas.h"
#include "desktop/wayland/conexion_wayland.h"
#include "desktop/wayland/ventana.h"

namespace tildo {

// Where an application's windows come from on a Wayland compositor. Global points are
// measured from the main output's top-left corner in the layout.
class VentanasCompositor : public FuenteDeVentanas {
 public:
  explicit VentanasCompositor(ConexionWayland& conexion) : conexion_(conexion) {}
  std::vector<ElementoRef> ventanas(int32_t pid) override;
  ElementoRef principal(int32_t pid) override;
  ElementoRef enfocada(int32_t pid) override;
  bool activar(int32_t pid) override;

  // Every window the compositor has now, the most recently focused first.
  virtual std::vector<VentanaCompositor> todas() = 0;
  // Whether the window belongs to the process.
  virtual bool esDe(const VentanaCompositor& v, int32_t pid) { return v.pid == pid; }
  virtual bool enfocar(int64_t id) = 0;
  virtual bool minimizar(int64_t id, bool minimizada) = 0;
  // Places the frame the user sees, in the layout. Fails the command where the compositor lets
  // no client place windows.
  virtual bool colocar(int64_t id, std::optional<Punto> esquina,
                       std::optional<Medidas> medidas) = 0;

  // The window with the id, as the compositor has it now.
  std::optional<VentanaCompositor> ventana(int64_t id);
  Punto origen();

 protected:
  ConexionWayland& conexion_;
};

// One window as an element: "AXRole" "AXWindow", "AXSubrole", "AXTitle", "AXPosition" and
// "AXSize" (the frame the user sees, where the compositor tells it), "AXMinimized",
// "AXFocused"; sets those and performs "AXRaise" through the compositor.
class VentanaWayland : public Elemento {
 public:
  VentanaWayland(VentanasCompositor& fuente, int64_t id) : fuente_(fuente), id_(id) {}
  std::optional<Valor> atributo(std::string_view nombre) override;
  std::optional<std::vector<std::string>> acciones() override;
  int realizar(std::string_view accion) override;
  int fijar(std::string_view nombre, const Valor& valor) override;

 private:
  VentanasCompositor& fuente_;
  int64_t id_;
};

}  // namespace tildo
