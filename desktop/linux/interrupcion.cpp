#include "desktop/linux/interrupcion.h"

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

void Interrupcion::dormir(std::chrono::microseconds tiempo) {
  const auto segundos = std::chrono::duration_cast<std::chrono::seconds>(tiempo);
  timespec resto{static_cast<time_t>(segundos.count()),
                 static_cast<long>((tiempo - segundos).count() * 1000)};
  comprobar();
  while (nanosleep(&resto, &resto) != 0 && errno == EINTR) comprobar();
}

}  // namespace tildo
