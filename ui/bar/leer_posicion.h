#pragma once
// Reading the bar's position file, kept apart so that it can be driven with any bytes.

#include <optional>
#include <string_view>

#include "common/json.h"

namespace tildo::ui {

// The file's top-level object; nothing when the bytes are not UTF-8, not JSON or not an object.
std::optional<Json> leerPosicion(std::string_view bytes);

}  // namespace tildo::ui
