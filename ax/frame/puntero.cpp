#include "ax/frame/puntero.h"

#include <cmath>
#include <limits>

#include "common/fallo.h"
#include "common/numeros.h"

namespace tildo {
namespace {

// The first n positionals as finite numbers, or nothing when one is missing or not a number.
std::optional<std::vector<double>> coordenadas(const Argumentos& args, size_t n) {
  const auto pos = args.posicionales();
  if (pos.size() < n) return std::nullopt;
  std::vector<double> valores;
  for (size_t i = 0; i < n; ++i) {
    auto v = leerFinito(pos[i]);
    if (!v) return std::nullopt;
    valores.push_back(*v);
  }
  return valores;
}

// A scroll amount as the wheel takes it: truncated toward zero, within 32 bits.
int32_t ruedaDe(double cantidad) {
  const double truncada = std::trunc(cantidad);
  if (truncada < std::numeric_limits<int32_t>::min() ||
      truncada > std::numeric_limits<int32_t>::max())
    fallo("scroll necesita cantidades entre -2147483648 y 2147483647");
  return static_cast<int32_t>(truncada);
}

}  // namespace

void moverMouse(Entrada& entrada, Punto punto) {
  entrada.raton(tipo::MOVIDO, punto, boton::IZQUIERDO);
}

void hacerClic(Entrada& entrada, Punto punto, int boton, int veces) {
  int abajo = tipo::IZQUIERDO_ABAJO, arriba = tipo::IZQUIERDO_ARRIBA;
  if (boton == boton::DERECHO) {
    abajo = tipo::DERECHO_ABAJO;
    arriba = tipo::DERECHO_ARRIBA;
  } else if (boton == boton::MEDIO) {
    abajo = tipo::OTRO_ABAJO;
    arriba = tipo::OTRO_ARRIBA;
  }
  entrada.raton(tipo::MOVIDO, punto, boton::IZQUIERDO);
  entrada.pausa(60000);
  entrada.raton(abajo, punto, boton);
  entrada.pausa(40000);
  entrada.raton(arriba, punto, boton);
  for (int i = 1; i < veces; ++i) {
    entrada.pausa(80000);
    entrada.raton(abajo, punto, boton);
    entrada.pausa(40000);
    entrada.raton(arriba, punto, boton);
  }
}

void arrastrar(Entrada& entrada, Punto desde, Punto hasta) {
  entrada.raton(tipo::MOVIDO, desde, boton::IZQUIERDO);
  entrada.pausa(90000);
  entrada.raton(tipo::IZQUIERDO_ABAJO, desde, boton::IZQUIERDO);
  for (int i = 1; i <= 12; ++i) {
    const double t = i / 12.0;
    const Punto paso{desde.x + (hasta.x - desde.x) * t, desde.y + (hasta.y - desde.y) * t};
    entrada.raton(tipo::IZQUIERDO_ARRASTRADO, paso, boton::IZQUIERDO);
    entrada.pausa(14000);
  }
  entrada.raton(tipo::IZQUIERDO_ARRIBA, hasta, boton::IZQUIERDO);
}

void desplazar(Entrada& entrada, double dx, double dy) {
  const int32_t rueda1 = ruedaDe(dy), rueda2 = ruedaDe(dx);
  entrada.rueda(rueda1, rueda2);
}

Json comandoMove(const Argumentos& args, Escritorio& escritorio) {
  auto c = coordenadas(args, 2);
  if (!c) fallo("move necesita x y");
  moverMouse(escritorio.entrada(), {(*c)[0], (*c)[1]});
  return {{"ok", true}, {"movido", {{"x", (*c)[0]}, {"y", (*c)[1]}}}};
}

Json comandoClick(const Argumentos& args, Escritorio& escritorio) {
  auto c = coordenadas(args, 2);
  if (!c) fallo("click necesita x y");
  int b = boton::IZQUIERDO;
  const char* nombre = "izquierdo";
  if (args.tiene("--derecho")) {
    b = boton::DERECHO;
    nombre = "derecho";
  } else if (args.tiene("--medio")) {
    b = boton::MEDIO;
    nombre = "medio";
  }
  const int veces = args.tiene("--triple") ? 3 : args.tiene("--doble") ? 2 : 1;
  hacerClic(escritorio.entrada(), {(*c)[0], (*c)[1]}, b, veces);
  return {{"ok", true}, {"clic", {{"x", (*c)[0]}, {"y", (*c)[1]}}}, {"veces", veces},
          {"boton", nombre}};
}

Json comandoDrag(const Argumentos& args, Escritorio& escritorio) {
  auto c = coordenadas(args, 4);
  if (!c) fallo("drag necesita x1 y1 x2 y2");
  const auto& v = *c;
  arrastrar(escritorio.entrada(), {v[0], v[1]}, {v[2], v[3]});
  return {{"ok", true}, {"arrastre", {{"x1", v[0]}, {"y1", v[1]}, {"x2", v[2]}, {"y2", v[3]}}}};
}

Json comandoScroll(const Argumentos& args, Escritorio& escritorio) {
  const auto pos = args.posicionales();
  auto cantidad = [&](size_t i) {
    auto v = i < pos.size() ? leerFinito(pos[i]) : std::nullopt;
    return v ? *v : 0.0;
  };
  const double dx = cantidad(0), dy = cantidad(1);
  desplazar(escritorio.entrada(), dx, dy);
  return {{"ok", true}, {"scroll", {{"dx", dx}, {"dy", dy}}}};
}

}  // namespace tildo
