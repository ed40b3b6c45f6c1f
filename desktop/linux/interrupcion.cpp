#include "desktop/linux/interrupcion.h"

#include <sys/prctl.h>

#include <cerrno>
#include <ctime>
#include <string>

#include "common/fallo.h"

namespace tildo {
namespace {

constexpr int SENALES[] = {SIGTERM, SIGINT, SIGHUP};

volatile std::sig_atomic_t llegada = 0;

void anotarSenal(int senal) {
  llegada = senal;
}

std::string nombre(int senal) {
  switch (senal) {
    case SIGTERM:
      return "SIGTERM";
    case SIGINT:
      return "SIGINT";
    default:
      return "SIGHUP";
  }
}

// Sleeps until the moment; false when a signal woke it first.
bool dormirSinSenal(std::chrono::steady_clock::time_point fin) {
  // Once per process: timers of this thread fire when asked, not up to 50 µs later.
  [[maybe_unused]] static const bool puntual = prctl(PR_SET_TIMERSLACK, 1UL, 0UL, 0UL, 0UL) == 0;
  const auto falta = std::chrono::duration_cast<std::chrono::nanoseconds>(
      fin - DESPIERTO - std::chrono::steady_clock::now());
  if (falta.count() > 0) {
    const timespec tiempo{static_cast<time_t>(falta.count() / 1000000000),
                          static_cast<long>(falta.count() % 1000000000)};
    if (clock_nanosleep(CLOCK_MONOTONIC, 0, &tiempo, nullptr) == EINTR) return false;
  }
  while (std::chrono::steady_clock::now() < fin) {
  }
  return true;
}

}  // namespace

Interrupcion::Interrupcion() {
  llegada = 0;
  struct sigaction accion {};
  accion.sa_handler = anotarSenal;
  sigemptyset(&accion.sa_mask);
  for (size_t i = 0; i < std::size(SENALES); ++i) sigaction(SENALES[i], &accion, &anteriores_[i]);
}

Interrupcion::~Interrupcion() {
  for (size_t i = 0; i < std::size(SENALES); ++i) sigaction(SENALES[i], &anteriores_[i], nullptr);
  if (llegada && !informada_) std::raise(llegada);
}

void Interrupcion::comprobar() {
  if (!llegada || informada_) return;
  informada_ = true;
  fallo("interrumpido por la señal " + nombre(llegada));
}

void Interrupcion::dormirHasta(std::chrono::steady_clock::time_point fin) {
  comprobar();
  while (!dormirSinSenal(fin)) comprobar();
}

void dormirHasta(std::chrono::steady_clock::time_point fin) {
  while (!dormirSinSenal(fin)) {
  }
}

}  // namespace tildo
