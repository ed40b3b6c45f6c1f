#pragma once
// Windows: the window server's list, focusing an application's window, choosing, placing and
// minimising one window, and the usable area of the main screen.

#include <cstdint>
#include <optional>
#include <string>

#include "ax/frame/argumentos.h"
#include "common/json.h"
#include "desktop/accesibilidad.h"
#include "desktop/escritorio.h"
#include "desktop/pantallas.h"

namespace tildo {

// On-screen windows at layer 0, front to back. Fails when the list cannot be read.
Json ventanas(Pantallas& pantallas);

// Activates the application, waits 250 ms and raises its first window whose title contains
// the fragment (any window when none is given). Fails when no application has the pid.
Json enfocarVentana(Espacio& espacio, Accesibilidad& accesibilidad, Entrada& entrada, int64_t pid,
                    const std::optional<std::string>& titulo);

// The window place and minimize act on: by index, then title, then the main window, then the
// first one not minimised, then the first one. Nothing when the application has no windows.
ElementoRef ventanaDe(Accesibilidad& accesibilidad, int32_t pid,
                      const std::optional<std::string>& titulo, std::optional<int64_t> indice);

// x, y, ancho, alto rounded (halves away from zero); nothing when the position or the size
// cannot be read. A coordinate with no integer form is left out.
std::optional<Json> marcoDe(Elemento& ventana);

// Restores the window, applies the frame three times (80 ms and 120 ms apart), reads back
// what it got and raises it.
Json colocarVentana(Accesibilidad& accesibilidad, Entrada& entrada, int32_t pid,
                    const std::optional<std::string>& titulo, std::optional<int64_t> indice,
                    const Json& marco);

// ok is whether the window accepted being minimised; a refusal is a reply, not a failure.
Json minimizarVentana(Accesibilidad& accesibilidad, int32_t pid,
                      const std::optional<std::string>& titulo, std::optional<int64_t> indice);

// The main screen's visible frame in top-left coordinates, truncated.
Json areaDeTrabajo(Pantallas& pantallas);

Json comandoWindows(const Argumentos& args, Escritorio& escritorio);
Json comandoWorkArea(const Argumentos& args, Escritorio& escritorio);
Json comandoPlace(const Argumentos& args, Escritorio& escritorio);
Json comandoMinimize(const Argumentos& args, Escritorio& escritorio);
Json comandoFocus(const Argumentos& args, Escritorio& escritorio);

}  // namespace tildo
