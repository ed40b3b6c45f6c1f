#pragma once
// Finding elements by their texts, pressing them, and reading the focused element or the one
// under a point: ax-find, ax-click, ax-focus, ax-at.

#include <cstdint>
#include <set>
#include <string>

#include "ax/frame/argumentos.h"
#include "common/json.h"
#include "desktop/accesibilidad.h"
#include "desktop/escritorio.h"

namespace tildo {

// Whether one of the texts, lowercased, contains the (already lowercased) query.
bool coincide(const std::string& consulta, const std::vector<std::string>& textos);

// The depth-first search of ax-click: the first element in pre-order, levels 0 to 8, whose
// title, value (whole), description or help contains the query; an element met again (same
// identity) is not searched again.
class Busqueda {
 public:
  explicit Busqueda(std::string consulta) : consulta_(std::move(consulta)) {}
  void buscar(const ElementoRef& elemento, int64_t nivel);
  const ElementoRef& encontrado() const { return encontrado_; }

 private:
  std::string consulta_;
  ElementoRef encontrado_;
  std::set<std::string> vistos_;
};

struct Quietud {
  Punto centro;
  bool quieto = false;
};

// Reads the element's centre up to intentos times, espera microseconds apart, until two
// successive centres are within 2 points. An unreadable frame ends the wait, not still.
Quietud centroQuieto(Elemento& elemento, Entrada& entrada, int intentos = 6,
                     uint32_t espera = 120000);

Json comandoAxFind(const Argumentos& args, Escritorio& escritorio);
Json comandoAxClick(const Argumentos& args, Escritorio& escritorio);
Json comandoAxFocus(const Argumentos& args, Escritorio& escritorio);
Json comandoAxAt(const Argumentos& args, Escritorio& escritorio);

}  // namespace tildo
