#pragma once
// Keyboard input: named keys with modifiers, combos such as "cmd+c", and typed text.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ax/frame/argumentos.h"
#include "common/json.h"
#include "desktop/escritorio.h"

namespace tildo {

struct NombreDeTecla {
  std::string_view nombre;  // lower case
  uint16_t codigo;          // virtual key code
};

// Key names and their virtual key codes: a constant table, so that no run builds it.
std::span<const NombreDeTecla> MAPA_TECLAS();

uint64_t banderas(const std::vector<std::string>& modificadores);
// Fails the command, before anything is posted, when the key is not in MAPA_TECLAS().
void tecla(Entrada& entrada, const std::string& nombre,
           const std::vector<std::string>& modificadores);
void escribirCombo(Entrada& entrada, const std::string& combo);
void escribir(Entrada& entrada, const std::string& texto);

Json comandoType(const Argumentos& args, Escritorio& escritorio);
Json comandoKey(const Argumentos& args, Escritorio& escritorio);

}  // namespace tildo
