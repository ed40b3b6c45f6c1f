#pragma once
// The depth-first walk of an application's element tree into a flat outline of tree nodes,
// and the ax-tree command.

#include <array>
#include <cstdint>
#include <string_view>

#include "ax/frame/argumentos.h"
#include "common/json.h"
#include "desktop/accesibilidad.h"
#include "desktop/escritorio.h"

namespace tildo {

// Roles worth listing even without any text.
constexpr std::array<std::string_view, 14> ROLES_CLAVE = {
    "AXButton",     "AXTextField",       "AXTextArea",    "AXLink",       "AXMenuItem",
    "AXCheckBox",   "AXRadioButton",     "AXPopUpButton", "AXTab",        "AXCell",
    "AXStaticText", "AXSecureTextField", "AXSlider",      "AXIncrementor"};

bool esRolClave(std::string_view rol);

// Appends to hacia (a JSON array) the tree node of the element when it carries a text or a key
// role (the start, at nivel 0, always), then walks its children while profundidad lasts and
// the list holds fewer than maximo nodes. An element met again (same identity) is skipped.
// The deepest level the walk enters, whatever depth it is asked for.
constexpr int64_t NIVEL_MAS_HONDO = 256;

void recorrer(Elemento& elemento, int64_t nivel, int64_t profundidad, int64_t maximo, Json& hacia);

// --depth and --max as signed integers; missing or unreadable values give the default.
int64_t enteroOPorDefecto(const Argumentos& args, const char* bandera, int64_t porDefecto);

Json comandoAxTree(const Argumentos& args, Escritorio& escritorio);

}  // namespace tildo
