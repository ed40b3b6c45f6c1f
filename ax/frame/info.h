#pragma once
// Screen and foreground information: the info command.

#include "ax/frame/argumentos.h"
#include "common/json.h"
#include "desktop/accesibilidad.h"
#include "desktop/escritorio.h"
#include "desktop/pantallas.h"

namespace tildo {

// The main display's size and scale, the permissions, the application in front and its
// focused window's title, the pointer in top-left coordinates and the system version.
Json infoPantalla(Pantallas& pantallas, Accesibilidad& accesibilidad, Espacio& espacio);

Json comandoInfo(const Argumentos& args, Escritorio& escritorio);

}  // namespace tildo
