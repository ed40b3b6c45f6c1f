#pragma once
// The vigilar command.

#include "ui/frame/lineas.h"

namespace tildo::ui {

[[noreturn]] void vigilar(const Argumentos& args);

}  // namespace tildo::ui
