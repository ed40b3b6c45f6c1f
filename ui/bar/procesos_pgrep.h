#pragma once
// Bars and the agent server found by running the system's process search, /usr/bin/pgrep -f.

#include <memory>

#include "ui/bar/procesos.h"

namespace tildo::ui {

std::unique_ptr<Procesos> procesosDePgrep();

}  // namespace tildo::ui
