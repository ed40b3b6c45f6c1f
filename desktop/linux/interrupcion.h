#pragma once
// While a run has the keyboard lent out, SIGTERM, SIGINT and SIGHUP stop the command through
// its failure path instead of ending the process on the spot, so that the guards on the way out
// give the keyboard back. What was sent before the signal stays sent.

#include <chrono>
#include <csignal>

namespace tildo {

// Sleeps until the moment on the steady clock, waking on time: the pauses of an event sequence
// are counted, and the kernel's timer slack and a virtual machine's late timers would each make
// one some 50 µs longer. Its last moments (DESPIERTO) are waited awake.
void dormirHasta(std::chrono::steady_clock::time_point fin);
constexpr auto DESPIERTO = std::chrono::microseconds(80);

class Interrupcion {
 public:
  // Catches the three signals from now on.
  Interrupcion();
  // Puts the previous handling back. A signal caught and never reported as a failure (it came
  // after the last wait) is raised again, so the process ends as it would have without us.
  ~Interrupcion();
  Interrupcion(const Interrupcion&) = delete;
  Interrupcion& operator=(const Interrupcion&) = delete;

  // Fails the command (Fallo) when one of the signals has come.
  void comprobar();
  // Sleeps until the moment, cut short by the signals: then fails the command.
  void dormirHasta(std::chrono::steady_clock::time_point fin);

 private:
  struct sigaction anteriores_[3];
  bool informada_ = false;
};

}  // namespace tildo
