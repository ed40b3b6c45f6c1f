#pragma once
// AT-SPI roles and states as the platform names them.

#include <atspi/atspi-constants.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tildo::atspi {

struct Rol {
  AtspiRole atspi;
  const char* rol;
  const char* subrol;
};

// The platform's role of an AT-SPI role; nothing for a role that is only a group.
const Rol* rolDe(AtspiRole r);
bool esVentana(AtspiRole r);
// Roles whose "AXValue" is their checked state, 0 or 1, as the platform gives it.
bool esMarcable(AtspiRole r);
// Roles whose "AXValue" is a number.
bool esNumerico(AtspiRole r);
// Controls whose children are parts of them (a button's label, a check box's mark), not
// elements of their own.
bool conPartesDeAdorno(AtspiRole r);

// The AT-SPI actions that press an element, best first.
constexpr std::array<std::string_view, 6> PULSAR = {"click",  "press", "activate",
                                                    "toggle", "jump",  "open"};
// Where an action's own name stands among those that press, compared without regard to case as
// the toolkits write them differently (GTK "click", Qt "Press"); nothing when it does not press.
std::optional<size_t> rangoDePulsar(std::string_view accion);
// Whether the action is the release that follows a press, which is no action of its own.
bool esSoltar(std::string_view accion);

bool tieneEstado(const std::vector<uint32_t>& estados, AtspiStateType e);

}  // namespace tildo::atspi
