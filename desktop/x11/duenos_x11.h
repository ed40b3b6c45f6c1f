#pragma once
// The processes that own the managed windows, and the application each says it is.

#include "desktop/sistema_de_ventanas.h"

namespace tildo {

class ConexionX11;
class ServidorVentanas;

// The owners of the windows of the window list, and their bundles. Every window's owner and
// properties are asked at once, one wait for all: a lookup by name needs them for every
// application.
DuenosDeVentanas duenosDeVentanas(ConexionX11& conexion, ServidorVentanas& servidor);

}  // namespace tildo
