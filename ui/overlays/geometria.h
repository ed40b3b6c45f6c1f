#pragma once
// Where the ring and the neon hand go, in the screen service's space (origin at the bottom-left
// of the first screen, y upward) and in their views' own bottom-left coordinates. Qt's
// top-left coordinates appear only where the windows are placed.

#include <cstddef>
#include <optional>
#include <vector>

#include "desktop/pantallas.h"

namespace tildo::ui {

inline constexpr double RADIO_DEL_ARO = 30;
inline constexpr double ALTO_DE_CAJA = 34;

// The ring's window and the ring's centre in it.
struct MarcoDelAro {
  Rect ventana;                // screen space
  Punto centro;                // view coordinates
  double desplazamiento = 52;  // O: from the window's top to the ring's centre
};

// The screen the ring goes on: the first whose frame holds (x, its own height − y), for a
// target (x, y) measured from the top; `principal` when none does.
Rect pantallaDelAro(double x, double y, const std::vector<Rect>& pantallas, const Rect& principal);

// The window for the target (x, y) (from the top of the screen) on that screen: 104 × 104, or
// 260 × 144 with a caption, the ring's centre on the target. The caption goes below the ring,
// or above it when there is no room below.
MarcoDelAro marcoDelAro(double x, double y, bool conEtiqueta, const Rect& pantalla);

// The caption's box in a view `anchoVista` wide, for a text `anchoTexto` wide: 34 high, kept 2
// from the view's sides, its top 22 below the ring, or 18 above the ring when it would fall
// within 2 of the view's bottom.
Rect cajaDeEtiqueta(double anchoTexto, double anchoVista, const Punto& centro,
                    double radio = RADIO_DEL_ARO);

// The pulse at animation time t: from 0 to 1 and back every 1.2 seconds.
double pulso(double t);
// The halo's radius around a core ring of `radio`: from radio + 4 to radio + 12 with the pulse.
double radioDelHalo(double t, double radio = RADIO_DEL_ARO);

// The ring's drawings: at 60 ticks a second the pulse comes back every 72 ticks and takes the
// same value on either side of its peak, so 37 drawings hold all of them.
inline constexpr int FASES_DEL_PULSO = 37;
// Which of them goes with animation time t, a whole number of ticks: 0 at the pulse's peak, 36
// at its bottom.
int faseDelPulso(double t);

// The lifetime is over once more than `segundos` have passed (so at the first tick for 0 or
// less).
bool aroTerminado(double transcurridos, double segundos);

// The neon hand's window: 34 × 44, its hotspot 20 from the left and 3 from the top.
inline constexpr double ANCHO_CUADRO = 34;
inline constexpr double ALTO_CUADRO = 44;
inline constexpr double PUNTO_X = 20;
inline constexpr double PUNTO_Y = 3;

// The window's origin (its bottom-left corner) that puts the hotspot on the pointer.
Punto origenDelCursor(const Punto& puntero);

// The frame after `indice` among `cuadros` frames; 0 when there are none.
size_t siguienteCuadro(size_t indice, size_t cuadros);
// Whether the frames change at all: only with more than one.
inline bool cuadrosAnimados(size_t cuadros) {
  return cuadros > 1;
}

}  // namespace tildo::ui
