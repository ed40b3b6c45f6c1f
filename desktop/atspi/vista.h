#pragma once
// The application as its user sees it, as the platform's accessibility service presents it:
// what is not showing is left out with what it holds, elements that only lay out their
// children give way to them, and the characters that stand for embedded children are no
// text. Decided from what an element's first answers say, without the bus, so that the rule
// can be tried on any tree.

#include <atspi/atspi-constants.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tildo::atspi {

// How an element stands in the presented tree.
enum class Presencia {
  visible,
  oculto,          // not showing: left out with its subtree
  soloDisposicion  // lays its children out and nothing more: they take its place
};

// What an element says of itself; nothing where it did not answer, which never hides it.
struct Rasgos {
  std::optional<uint32_t> rol;
  std::optional<std::vector<uint32_t>> estados;
  std::optional<std::string> nombre, descripcion;
  std::optional<std::vector<std::string>> interfaces;
  // Known only once asked for, which is worth it only for a possible layout element.
  std::optional<std::string> texto;
  std::optional<int32_t> acciones;
  // "Visible" is what counts: the toolkit marks its elements "visible" and never "showing"
  // (GTK 4.8 sets "showing" on windows only), or the element is inside a web page, where
  // "showing" means scrolled into view.
  bool soloVisible = false;
};

// Whether an element is on screen by its states: "showing", or "visible" where the toolkit
// says only that.
bool seMuestra(const std::vector<uint32_t>& estados, bool soloVisible);

// Whether the element may only lay out its children, from its first answers: a role that only
// groups, no name, no description, and nothing it holds a value of. Text and actions are asked
// afterwards of such elements alone.
bool agrupaSinMas(const Rasgos& r);
// Where the element stands; the children of an application (its windows) are always visible.
Presencia presencia(const Rasgos& r, bool deAplicacion);

// A text as the element's own: without U+FFFC, which stands for an embedded child; nothing
// when the text was made only of them.
std::optional<std::string> textoPropio(std::string texto);

// The children as presented: left out the hidden ones, and in place of each layout element
// its own presented children, in order. `presencia` and `hijos` read the tree; the layouts
// followed are bounded in depth and in number, as a tree may loop back on itself.
template <class Nodo>
std::vector<Nodo> presentados(const std::vector<Nodo>& hijos,
                              const std::function<Presencia(Nodo&)>& presencia,
                              const std::function<std::vector<Nodo>(Nodo&)>& hijosDe) {
  constexpr int HONDO = 32;
  size_t restantes = 2000;
  std::vector<Nodo> salida;
  std::function<void(const std::vector<Nodo>&, int)> poner = [&](const std::vector<Nodo>& lista,
                                                                 int nivel) {
    for (Nodo n : lista) {
      const Presencia p = presencia(n);
      if (p == Presencia::oculto) continue;
      if (p == Presencia::soloDisposicion && nivel < HONDO && restantes > 0) {
        --restantes;
        poner(hijosDe(n), nivel + 1);
        continue;
      }
      salida.push_back(std::move(n));
    }
  };
  poner(hijos, 0);
  return salida;
}

}  // namespace tildo::atspi
