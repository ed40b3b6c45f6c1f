#pragma once
// The ring's command line, its lines and its clock: what `tildo-ui aro` does apart from its
// window (qt/comando_aro.h).

#include <string>

#include "common/json.h"
#include "ui/frame/lineas.h"

namespace tildo::ui {

struct OpcionesDelAro {
  double x = 0;
  double y = 0;
  double segundos = 8;
  std::string etiqueta;
};

// Two positional numbers, else --x and --y (0 when they do not parse); --segundos (8 when it
// does not parse); --etiqueta. Fails when x or y is not finite or beyond 64 bits: the ready
// line could not report it.
OpcionesDelAro opcionesDelAro(const Argumentos& args);

// The ring's state between ticks. The pulse runs on tick counts, the lifetime on the clock.
class Aro {
 public:
  // `inicio` is the moment the command started, in seconds on a steady clock.
  Aro(const OpcionesDelAro& opciones, double inicio);

  // One tick at `ahora`: the animation advances 1/60 second; true when the lifetime is over.
  bool tic(double ahora);

  double t = 0;
  double segundos;
  double inicio;
  double x, y;
  std::string etiqueta;
};

Json lineaDeAroListo(const Aro& aro);
Json lineaDeAroTerminado();

// The neon hand's ready line.
Json lineaDeCursorListo(size_t cuadros);

}  // namespace tildo::ui
