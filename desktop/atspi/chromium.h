#pragma once
// Chromium and the applications built on it (Electron) expose their windows' content only
// once an assistive technology asks for it.

#include "desktop/atspi/bus.h"

namespace tildo {
struct SesionAtspi;
}

namespace tildo::atspi {

// Makes sure the application's windows show their content: when none does, asks the question
// that tells Chromium an assistive technology is reading it, and waits for the content to
// come. Fails, saying how to start the application with its accessibility on, when it does
// not come. Whether it had to ask.
bool despertarChromium(SesionAtspi& s, const Objeto& app);

}  // namespace tildo::atspi
