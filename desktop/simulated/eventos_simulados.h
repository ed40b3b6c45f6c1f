#pragma once
// The user's input on a simulated desktop: the description's "eventos", heard once in their
// order, then silence.

#include <string>

#include "desktop/eventos.h"

namespace tildo {

AperturaDeEventos abrirEventosSimulados(const std::string& descripcion);

}  // namespace tildo
