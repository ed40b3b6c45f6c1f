#pragma once
// The accessibility and workspace ports, shaped like the platform's services: elements are
// read by attribute name ("AXRole", "AXTitle", …), pressed by action name ("AXPress"), and
// values keep their kind. Positions are global points, origin at the top-left of the main
// display, y downward.

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "desktop/entrada.h"

namespace tildo {

struct Medidas {
  double ancho = 0;
  double alto = 0;
};

class Elemento;
using ElementoRef = std::shared_ptr<Elemento>;

// An attribute's value with its kind kept: text, integer or floating number, boolean, point,
// size, one element, or a list of elements.
using Valor = std::variant<std::string, int64_t, double, bool, Punto, Medidas, ElementoRef,
                           std::vector<ElementoRef>>;

// What an element first says of itself: the "AXRole", "AXTitle", "AXValue" and
// "AXDescription" reads would give these.
struct Resumen {
  std::optional<Valor> rol, titulo, valor, descripcion;
};

// Result codes of element operations: 0 is success, as the platform's.
constexpr int AX_EXITO = 0;
constexpr int AX_ERROR = -25200;

class Elemento {
 public:
  virtual ~Elemento() = default;
  // Every read asks the owning application afresh. Nothing when the attribute cannot be read.
  virtual std::optional<Valor> atributo(std::string_view nombre) = 0;
  // Nothing when the action names cannot be read.
  virtual std::optional<std::vector<std::string>> acciones() = 0;
  virtual int realizar(std::string_view accion) = 0;
  virtual int fijar(std::string_view nombre, const Valor& valor) = 0;
  // A walk of the element and its descendants down to so many levels follows, in order: the
  // backend may ask the application ahead. The walk reads every element's role and texts, and
  // the rest (frame, states, actions) only of this element and of those whose Resumen makes
  // `entero` true: the backend need not ask that rest of the others. What the reads give does
  // not change.
  virtual void anticipar(int64_t /*profundidad*/, std::function<bool(const Resumen&)> /*entero*/) {}
  // Who the element is within one run: two elements with the same non-empty identity are the
  // same element, however they were reached (trees can loop back on themselves). Empty when
  // the backend cannot tell.
  virtual std::string identidad() const { return {}; }
};

class Accesibilidad {
 public:
  virtual ~Accesibilidad() = default;
  // The element of a running application (AXUIElementCreateApplication). Never null: for a
  // process that exposes nothing, an element whose every read fails.
  virtual ElementoRef aplicacion(int32_t pid) = 0;
  // The element under a global point, or nothing (AXUIElementCopyElementAtPosition).
  virtual ElementoRef elementoEn(float x, float y) = 0;
  // Whether this process may read elements and post input (AXIsProcessTrusted).
  virtual bool confiable() = 0;
};

struct Aplicacion {
  int32_t pid = 0;
  std::optional<std::string> nombre;
  std::optional<std::string> bundle;
  // False for an application that did not answer in time: its name is then its program's.
  bool responde = true;
};

// The running applications, as the platform's workspace lists them.
class Espacio {
 public:
  virtual ~Espacio() = default;
  // Applications that do not answer at once are listed as not answering, so that a lookup
  // that another application satisfies need not wait for them.
  virtual std::vector<Aplicacion> aplicaciones() = 0;
  // The same list, having waited longer for those that did not answer.
  virtual std::vector<Aplicacion> aplicacionesEsperando() { return aplicaciones(); }
  virtual std::optional<Aplicacion> primerPlano() = 0;
  virtual std::optional<Aplicacion> porPid(int32_t pid) = 0;
  // Brings the application to the front, ignoring other applications.
  virtual bool activar(int32_t pid) = 0;
};

}  // namespace tildo
