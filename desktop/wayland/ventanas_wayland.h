#pragma once
// Windows and applications of a sway session, through its IPC: an application's windows by the
// pid sway knows for each, placed, focused and put away (sway keeps minimised windows in its
// scratchpad) by commands on the window's container id. The accessibility port here answers
// for windows only; the elements inside applications come from the accessibility bus.

#include <cstdint>
#include <optional>
#include <vector>

#include "desktop/accesibilidad.h"
#include "desktop/fuente_ventanas.h"
#include "desktop/wayland/conexion_wayland.h"
#include "desktop/wayland/sway.h"

namespace tildo {

class VentanasSway : public FuenteDeVentanas {
 public:
  // Global points are measured from the main output's top-left corner in the layout.
  VentanasSway(Sway& sway, ConexionWayland& conexion) : sway_(sway), conexion_(conexion) {}
  std::vector<ElementoRef> ventanas(int32_t pid) override;
  ElementoRef principal(int32_t pid) override;
  ElementoRef enfocada(int32_t pid) override;
  bool activar(int32_t pid) override;

  // Every window sway has now, the most recently focused first.
  std::vector<VentanaSway> todas();
  // The window with the container id, as sway has it now.
  std::optional<VentanaSway> ventana(int64_t id);
  Sway& sway() { return sway_; }
  Punto origen();

 private:
  Sway& sway_;
  ConexionWayland& conexion_;
};

// One window as an element: "AXRole" "AXWindow", "AXSubrole", "AXTitle", "AXPosition" and
// "AXSize" (the frame the user sees), "AXMinimized", "AXFocused"; sets those three and performs
// "AXRaise" through sway's commands.
class VentanaWayland : public Elemento {
 public:
  VentanaWayland(VentanasSway& fuente, int64_t id) : fuente_(fuente), id_(id) {}
  std::optional<Valor> atributo(std::string_view nombre) override;
  std::optional<std::vector<std::string>> acciones() override;
  int realizar(std::string_view accion) override;
  int fijar(std::string_view nombre, const Valor& valor) override;

 private:
  bool ordenar(const std::string& orden);
  VentanasSway& fuente_;
  int64_t id_;
};

class AccesibilidadWayland : public Accesibilidad {
 public:
  explicit AccesibilidadWayland(VentanasSway* fuente) : fuente_(fuente) {}
  ElementoRef aplicacion(int32_t pid) override;
  ElementoRef elementoEn(float, float) override { return nullptr; }
  // The compositor lets this process post input: it offered the protocols.
  bool confiable() override { return true; }

 private:
  VentanasSway* fuente_;
};

// The running applications are the processes that own windows, named by their program.
class EspacioWayland : public Espacio {
 public:
  explicit EspacioWayland(VentanasSway* fuente) : fuente_(fuente) {}
  std::vector<Aplicacion> aplicaciones() override;
  std::optional<Aplicacion> primerPlano() override;
  std::optional<Aplicacion> porPid(int32_t pid) override;
  bool activar(int32_t pid) override;

 private:
  VentanasSway* fuente_;
};

}  // namespace tildo
