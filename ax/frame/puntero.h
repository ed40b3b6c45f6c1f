#pragma once
// Pointer input: moves, clicks, drags and scrolls, with the pauses between their events.

#include "ax/frame/argumentos.h"
#include "common/json.h"
#include "desktop/escritorio.h"

namespace tildo {

void moverMouse(Entrada& entrada, Punto punto);
void hacerClic(Entrada& entrada, Punto punto, int boton = boton::IZQUIERDO, int veces = 1);
void arrastrar(Entrada& entrada, Punto desde, Punto hasta);
// Fails the command when an amount does not fit the wheel's 32 bits; nothing is posted then.
void desplazar(Entrada& entrada, double dx, double dy);

Json comandoMove(const Argumentos& args, Escritorio& escritorio);
Json comandoClick(const Argumentos& args, Escritorio& escritorio);
Json comandoDrag(const Argumentos& args, Escritorio& escritorio);
Json comandoScroll(const Argumentos& args, Escritorio& escritorio);

}  // namespace tildo
