#include "ax/frame/comandos.h"

#include "ax/accessibility/arbol.h"
#include "ax/accessibility/busqueda.h"
#include "ax/accessibility/ventanas.h"
#include "ax/frame/aplicaciones.h"
#include "ax/frame/info.h"
#include "ax/frame/puntero.h"
#include "ax/frame/respuesta.h"
#include "ax/frame/teclado.h"
#include "common/fallo.h"
#include "common/texto.h"

namespace tildo {

const std::vector<EntradaDeComando>& COMANDOS() {
  static const std::vector<EntradaDeComando> tabla = {
      {"info", comandoInfo},      {"move", comandoMove},           {"click", comandoClick},
      {"drag", comandoDrag},      {"scroll", comandoScroll},       {"type", comandoType},
      {"key", comandoKey},        {"frontmost", comandoFrontmost}, {"ax-tree", comandoAxTree},
      {"ax-find", comandoAxFind}, {"ax-click", comandoAxClick},    {"ax-focus", comandoAxFocus},
      {"ax-at", comandoAxAt},     {"windows", comandoWindows},     {"work-area", comandoWorkArea},
      {"place", comandoPlace},    {"minimize", comandoMinimize},   {"focus", comandoFocus},
  };
  return tabla;
}

Resultado ejecutar(std::vector<std::string> args) {
  // Arguments that are not UTF-8 are read with replacement characters, so that every reply,
  // which may quote them, can be printed.
  for (auto& a : args) a = utf8Reparado(a);
  try {
    if (args.empty())
      fallo(
          "falta el comando. Usa: info | click | drag | move | scroll | type | key | ax-tree | "
          "ax-find | ax-click | ax-focus | ax-at | windows | focus | place | minimize | "
          "work-area",
          2);
    const std::string palabra = args.front();
    args.erase(args.begin());
    for (const auto& c : COMANDOS()) {
      if (palabra != c.palabra) continue;
      const Argumentos argumentos(std::move(args));
      auto escritorio = abrirEscritorio();
      return {c.ejecutar(argumentos, *escritorio), 0};
    }
    fallo("comando desconocido: " + palabra, 2);
  } catch (const Fallo& f) {
    return {respuestaDeFallo(f.mensaje), f.codigo};
  } catch (const std::exception& e) {
    return {respuestaDeFallo(std::string("error interno: ") + e.what()), 1};
  }
}

}  // namespace tildo
