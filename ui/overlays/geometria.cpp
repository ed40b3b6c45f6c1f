#include "ui/overlays/geometria.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tildo::ui {
namespace {

// As the platform tests a point against a rectangle: the low edges in, the high edges out.
bool contiene(const Rect& r, double x, double y) {
  return x >= r.x && x < r.x + r.ancho && y >= r.y && y < r.y + r.alto;
}

}  // namespace

Rect pantallaDelAro(double x, double y, const std::vector<Rect>& pantallas, const Rect& principal) {
  for (const Rect& p : pantallas)
    if (contiene(p, x, p.alto - y)) return p;
  return principal;
}

MarcoDelAro marcoDelAro(double x, double y, bool conEtiqueta, const Rect& pantalla) {
  const double extra = conEtiqueta ? 40 : 0;
  const double ancho = std::max(conEtiqueta ? 260.0 : 0.0, 104.0);
  const double alto = 104 + extra;
  MarcoDelAro m;
  m.desplazamiento = y + 52 + extra <= pantalla.y + pantalla.alto ? 52 : extra + 52;
  m.centro = {ancho * 0.5, alto - m.desplazamiento};
  m.ventana = {x - ancho * 0.5, (pantalla.alto - y) - (alto - m.desplazamiento), ancho, alto};
  return m;
}

Rect cajaDeEtiqueta(double anchoTexto, double anchoVista, const Punto& centro, double radio) {
  const double ancho = std::min(anchoTexto + 24, anchoVista - 4);
  const double x = std::min(anchoVista - ancho - 2, std::max(2.0, centro.x - ancho * 0.5));
  double y = centro.y - radio - 22 - ALTO_DE_CAJA;
  if (y < 2) y = centro.y + radio + 18;
  return {x, y, ancho, ALTO_DE_CAJA};
}

double pulso(double t) {
  return (std::sin(2 * std::numbers::pi * t / 1.2) + 1) * 0.5;
}

double radioDelHalo(double t, double radio) {
  return radio + 4 + 8 * pulso(t);
}

int faseDelPulso(double t) {
  // Ticks from the peak (at tick 18, 0.3 s), within one period of 72.
  const long long desdeLaCima = ((std::llround(t * 60) - 18) % 72 + 72) % 72;
  return static_cast<int>(std::min(desdeLaCima, 72 - desdeLaCima));
}

bool aroTerminado(double transcurridos, double segundos) {
  return transcurridos > segundos;
}

Punto origenDelCursor(const Punto& puntero) {
  return {puntero.x - PUNTO_X, puntero.y - (ALTO_CUADRO - PUNTO_Y)};
}

size_t siguienteCuadro(size_t indice, size_t cuadros) {
  return cuadros == 0 ? 0 : (indice + 1) % cuadros;
}

}  // namespace tildo::ui
