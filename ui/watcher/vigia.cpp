#include "ui/watcher/vigia.h"

#include <unistd.h>

#include <cmath>
#include <limits>
#include <string>
#include <thread>

#include "common/archivos.h"
#include "ui/frame/lineas.h"

namespace tildo::ui {
namespace {

using namespace std::chrono_literals;

constexpr auto GRACIA = 2s;
constexpr auto INTERVALO_MOVIMIENTO = 250ms;
constexpr auto INTERVALO_PADRE = 2s;

// To the nearest integer, halves away from zero; what no integer holds is 0.
int64_t entero(double v) {
  const double r = std::round(v);
  if (!(std::abs(r) < 9.2e18)) return 0;
  return static_cast<int64_t>(r);
}

Json conPunto(Json linea, Punto p) {
  linea["x"] = entero(p.x);
  linea["y"] = entero(p.y);
  return linea;
}

// Nothing is left to flush (every line went out in its own write) and the other thread may be
// anywhere: the process ends without running destructors under it.
[[noreturn]] void terminar(int codigo) {
  ::_exit(codigo);
}

// On standard error in one write, whatever TILDO_UI_DEBUG says: the agent server must learn that
// an order was lost.
void avisar(const std::string& mensaje) {
  [[maybe_unused]] const auto escrito = ::write(STDERR_FILENO, mensaje.data(), mensaje.size());
}

}  // namespace

Json lineaDeVigilancia() {
  return {{"listo", true}, {"ok", true}, {"vigilando", true}};
}

Vigia::Vigia(RelojDelVigia reloj) : arranque(reloj()), reloj(std::move(reloj)) {}

bool Vigia::estaSuprimido() const {
  return suprimido.load();
}

void Vigia::obedecer(Orden orden) {
  if (orden == Orden::suprimir) suprimido = true;
  if (orden == Orden::libre) suprimido = false;
}

void Vigia::escucharOrdenes() {
  std::thread([this] {
    LectorDeLineas lector(STDIN_FILENO, LIMITE_ORDEN);
    while (auto linea = lector.siguiente()) {
      if (linea->demasiadoLarga) {
        avisar("[tildo-ui] orden descartada: la línea pasa de " +
               std::to_string(LIMITE_ORDEN / 1024) + " KB\n");
        continue;
      }
      const Orden orden = leerOrden(linea->texto);
      if (orden == Orden::salir) terminar(0);
      obedecer(orden);
    }
    // Adopted by another process: the parent that started the watcher is gone.
    const pid_t padre = ::getppid();
    for (;;) {
      std::this_thread::sleep_for(INTERVALO_PADRE);
      if (::getppid() != padre) terminar(0);
    }
  }).detach();
}

void Vigia::iniciar(bool reportarClics, const std::function<AperturaDeEventos()>& abrir) {
  this->reportarClics = reportarClics;
  AperturaDeEventos apertura = abrir();
  if (!apertura.fuente) {
    traza("no pude escuchar la entrada: " + apertura.causa);
    escribirLinea({{"ok", false},
                   {"error", "no pude crear el vigía: falta el permiso de Monitoreo de entrada"},
                   {"permiso_monitoreo", false}});
    terminar(3);
  }
  tap = std::move(apertura.fuente);
}

void Vigia::correr() {
  std::vector<EventoDeEntrada> lote;
  while (tap->esperar(lote)) {
    for (const auto& evento : lote)
      if (auto linea = procesar(evento.tipo, evento)) escribirLinea(*linea);
    lote.clear();
  }
  traza(tap->motivo());
  terminar(3);
}

std::optional<Json> Vigia::procesar(int tipo, const EventoDeEntrada& evento) {
  if (tipo == tipo::TECLA_ABAJO) {
    if (evento.tecla == TECLA_ESCAPE) return Json{{"evento", "escape"}, {"ok", true}};
    if (estaSuprimido()) return std::nullopt;
    return Json{{"evento", "actividad"}, {"ok", true}, {"tipo", "teclado"}};
  }
  if (estaSuprimido()) return std::nullopt;
  const Punto p = evento.punto;
  switch (tipo) {
    case tipo::IZQUIERDO_ABAJO:
      return conPunto({{"boton", "izquierdo"}, {"evento", "clic"}, {"ok", true}}, p);
    case tipo::DERECHO_ABAJO:
      return conPunto({{"boton", "derecho"}, {"evento", "clic"}, {"ok", true}}, p);
    case tipo::OTRO_ABAJO:
      return conPunto({{"boton", "medio"}, {"evento", "clic"}, {"ok", true}}, p);
    case tipo::RUEDA:
      return conPunto({{"evento", "actividad"}, {"ok", true}, {"tipo", "scroll"}}, p);
    case tipo::MOVIDO: {
      const Instante ahora = reloj();
      if (ahora - arranque < GRACIA) return std::nullopt;
      const bool salto = !ultimoPunto || (p.x - ultimoPunto->x) * (p.x - ultimoPunto->x) +
                                                 (p.y - ultimoPunto->y) * (p.y - ultimoPunto->y) >=
                                             puntosMinimos * puntosMinimos;
      ultimoPunto = p;
      if (!salto) return std::nullopt;
      if (ultimoMovimiento && ahora - *ultimoMovimiento <= INTERVALO_MOVIMIENTO)
        return std::nullopt;
      ultimoMovimiento = ahora;
      return conPunto({{"evento", "actividad"}, {"ok", true}, {"tipo", "mouse"}}, p);
    }
  }
  return std::nullopt;
}

}  // namespace tildo::ui
