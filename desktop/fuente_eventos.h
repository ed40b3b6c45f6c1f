#pragma once
// Where the user's input is heard from: the simulated desktop when TILDO_ESCRITORIO names a
// description, else the X display; in a Wayland session, nowhere.

#include "desktop/eventos.h"

namespace tildo {

AperturaDeEventos abrirFuenteDeEventos();

}  // namespace tildo
