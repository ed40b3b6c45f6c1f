#pragma once
// Typed readers of one attribute of one element, and the element record. Whatever cannot be
// read is simply absent: the readers never fail a command.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/json.h"
#include "desktop/accesibilidad.h"

namespace tildo {

// How many user-perceived characters of "AXValue" a record carries.
constexpr size_t LARGO_VALOR = 400;

// A non-empty text, or a number's (or a boolean's) textual form.
std::optional<std::string> texto(Elemento& elemento, std::string_view nombre);
// The same of a value already read.
std::optional<std::string> textoDe(const std::optional<Valor>& valor);
// A boolean, or a number that is exactly 0 or 1.
std::optional<bool> booleano(Elemento& elemento, std::string_view nombre);
std::optional<Punto> punto(Elemento& elemento, std::string_view nombre);
std::optional<Medidas> medidas(Elemento& elemento, std::string_view nombre);
// The element's action names, in the platform's order; empty when unreadable.
std::vector<std::string> acciones(Elemento& elemento);
// Elements only: a list read as one element, or a list with a missing element, is nothing.
ElementoRef elementoDe(Elemento& elemento, std::string_view nombre);
std::optional<std::vector<ElementoRef>> elementosDe(Elemento& elemento, std::string_view nombre);

// The first LARGO_VALOR grapheme clusters of a value.
std::string cortarValor(std::string_view valor);

// Sets the key to the rounded coordinate; a coordinate with no integer form leaves it out.
void ponerRedondeado(Json& destino, const char* clave, double valor);

// The record of one element (ax-focus, ax-at): role, texts, states, actions, frame when it has
// a position, and the parent's role.
Json nodoSuelto(Elemento& elemento);

}  // namespace tildo
