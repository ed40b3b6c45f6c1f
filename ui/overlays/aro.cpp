#include "ui/overlays/aro.h"

#include "common/fallo.h"
#include "common/numeros.h"
#include "ui/overlays/geometria.h"

namespace tildo::ui {
namespace {

double numeroOPorDefecto(const std::optional<std::string>& valor, double porDefecto) {
  if (!valor) return porDefecto;
  return leerDoble(*valor).value_or(porDefecto);
}

// The ready line reports the target as integers.
void exigirEntero(double valor) {
  if (!truncar(valor)) fallo("aro necesita x e y finitas, dentro de 64 bits");
}

}  // namespace

OpcionesDelAro opcionesDelAro(const Argumentos& args) {
  OpcionesDelAro o;
  const auto n = args.numeros();
  if (n.size() >= 2) {
    o.x = n[0];
    o.y = n[1];
  } else {
    o.x = numeroOPorDefecto(args.bandera("--x"), 0);
    o.y = numeroOPorDefecto(args.bandera("--y"), 0);
  }
  exigirEntero(o.x);
  exigirEntero(o.y);
  o.segundos = numeroOPorDefecto(args.bandera("--segundos"), 8);
  o.etiqueta = args.bandera("--etiqueta").value_or("");
  return o;
}

Aro::Aro(const OpcionesDelAro& opciones, double inicio)
    : segundos(opciones.segundos),
      inicio(inicio),
      x(opciones.x),
      y(opciones.y),
      etiqueta(opciones.etiqueta) {}

bool Aro::tic(double ahora) {
  t += 1.0 / 60;
  return aroTerminado(ahora - inicio, segundos);
}

Json lineaDeAroListo(const Aro& aro) {
  // Within range by construction (opcionesDelAro).
  return {{"ok", true},
          {"listo", true},
          {"aro", {{"x", truncar(aro.x).value_or(0)}, {"y", truncar(aro.y).value_or(0)}}}};
}

Json lineaDeAroTerminado() {
  return {{"ok", true}, {"evento", "aro_terminado"}};
}

Json lineaDeCursorListo(size_t cuadros) {
  return {{"ok", true}, {"listo", true}, {"cursor", true}, {"cuadros", cuadros}};
}

}  // namespace tildo::ui
