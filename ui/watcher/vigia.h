#pragma once
// The watcher of the user's input: it turns key presses, clicks, wheel steps and real pointer
// movement into JSON lines, stays quiet while the agent server says so (Escape excepted), and
// obeys the orders read from standard input.

#include <atomic>
#include <chrono>
#include <functional>
#include <memory>
#include <optional>

#include "common/json.h"
#include "desktop/eventos.h"
#include "ui/watcher/ordenes.h"

namespace tildo::ui {

using Instante = std::chrono::steady_clock::time_point;
using RelojDelVigia = std::function<Instante()>;

class Vigia {
 public:
  // Time reaches the filters only through the clock.
  explicit Vigia(RelojDelVigia reloj = std::chrono::steady_clock::now);

  // Starts the reader of orders on a thread of its own and returns at once. Once standard
  // input ends it watches the parent instead: when the parent dies the process ends (code 0).
  void escucharOrdenes();
  // Opens the input source; when the desktop refuses it, prints the failure line and ends the
  // process with code 3.
  void iniciar(bool reportarClics, const std::function<AperturaDeEventos()>& abrir);
  // Prints a line for every event that deserves one until the source ends, then ends the
  // process with code 3.
  [[noreturn]] void correr();

  // The line one event deserves, if any.
  std::optional<Json> procesar(int tipo, const EventoDeEntrada& evento);
  bool estaSuprimido() const;
  // "suprimir" and "libre"; the other orders change nothing here.
  void obedecer(Orden orden);

 private:
  std::atomic<bool> suprimido{false};
  // Empty: the distant past.
  std::optional<Instante> ultimoMovimiento;
  bool reportarClics = false;
  std::unique_ptr<FuenteDeEventos> tap;
  Instante arranque;
  std::optional<Punto> ultimoPunto;
  double puntosMinimos = 5;
  RelojDelVigia reloj;
};

// The watcher's ready line, printed before the input source exists.
Json lineaDeVigilancia();

}  // namespace tildo::ui
