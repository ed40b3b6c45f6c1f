#pragma once
// Keyboard input: named keys with modifiers, combos such as "cmd+c", and typed text.

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ax/frame/argumentos.h"
#include "common/json.h"
#include "desktop/escritorio.h"

namespace tildo {

// Key name (lower case) to virtual key code, built on first use: a command that presses no
// named key does not pay for it at start-up.
const std::map<std::string, uint16_t>& MAPA_TECLAS();

uint64_t banderas(const std::vector<std::string>& modificadores);
// Fails the command, before anything is posted, when the key is not in MAPA_TECLAS().
void tecla(Entrada& entrada, const std::string& nombre,
           const std::vector<std::string>& modificadores);
void escribirCombo(Entrada& entrada, const std::string& combo);
void escribir(Entrada& entrada, const std::string& texto);

Json comandoType(const Argumentos& args, Escritorio& escritorio);
Json comandoKey(const Argumentos& args, Escritorio& escritorio);

}  // namespace tildo
