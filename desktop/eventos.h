#pragma once
// The user's input as the platform's listen-only event tap delivers it: key presses, button
// presses, wheel steps and pointer movement, in the order they happened, numbered with the
// platform's event types and virtual key codes, located in global points (origin at the
// top-left of the main display, y downward).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "desktop/entrada.h"

namespace tildo {

namespace tipo {
constexpr int TECLA_ABAJO = 10;
constexpr int RUEDA = 22;
}  // namespace tipo

constexpr uint16_t TECLA_ESCAPE = 53;
// A key the source does not name with a virtual key code.
constexpr uint16_t TECLA_DESCONOCIDA = 0xFFFF;

struct EventoDeEntrada {
  int tipo = 0;
  Punto punto;  // where the pointer was; not set for key presses
  uint16_t tecla = TECLA_DESCONOCIDA;
};

class FuenteDeEventos {
 public:
  virtual ~FuenteDeEventos() = default;
  // Waits for input, then appends every event already pending, in order. False when the
  // source has ended for good; `motivo` then says why.
  virtual bool esperar(std::vector<EventoDeEntrada>& lote) = 0;
  virtual std::string motivo() const = 0;
};

// A source, or why the desktop refused one.
struct AperturaDeEventos {
  std::unique_ptr<FuenteDeEventos> fuente;
  std::string causa;
};

}  // namespace tildo
