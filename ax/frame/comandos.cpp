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
      {"info", comandoInfo, true},
      {"move", comandoMove, false},
      {"click", comandoClick, false},
      {"drag", comandoDrag, false},
      {"scroll", comandoScroll, false},
      {"type", comandoType, false},
      {"key", comandoKey, false},
      {"frontmost", comandoFrontmost, true},
      {"ax-tree", comandoAxTree, true},
      {"ax-find", comandoAxFind, true},
      {"ax-click", comandoAxClick, true},
      {"ax-focus", comandoAxFocus, true},
      {"ax-at", comandoAxAt, true},
      {"windows", comandoWindows, false},
      {"work-area", comandoWorkArea, false},
      {"place", comandoPlace, true},
      {"minimize", comandoMinimize, true},
      {"focus", comandoFocus, true},
  };
  return tabla;
}

const char* const USO = R"(Uso: tildo-ax COMANDO [ARGUMENTOS]

Hace una acción en el escritorio y escribe una línea JSON con la respuesta: "ok" dice si salió
bien y, si no, "error" dice por qué.

Puntero y teclado:
  move X Y                 mueve el puntero al punto (X, Y)
  click X Y [--derecho | --medio] [--doble | --triple]
                           hace clic en el punto
  drag X1 Y1 X2 Y2         arrastra con el botón izquierdo de un punto a otro
  scroll [DX [DY]]         mueve la rueda DX puntos en horizontal y DY en vertical
  type TEXTO...            escribe el texto (o, con --stdin, lo que llegue por la entrada)
  key COMBO                pulsa una tecla con modificadores, p. ej. ctrl+c o cmd+shift+t
Pantalla y aplicaciones:
  info                     pantalla, permisos, puntero y aplicación en primer plano
  frontmost                la aplicación en primer plano
  work-area                el área útil de la pantalla
Elementos (accesibilidad):
  ax-tree [--app APP] [--depth N] [--max N]
                           el árbol de elementos de la aplicación
  ax-find [--app APP] [--depth N] [--max N] (--name TEXTO | TEXTO...)
                           los elementos cuyo texto contiene TEXTO
  ax-click [--app APP] (--name TEXTO | TEXTO...)
                           pulsa el primer elemento cuyo texto contiene TEXTO
  ax-focus [--app APP]     el elemento con el foco
  ax-at X Y                el elemento en el punto
Ventanas:
  windows                  las ventanas visibles, de delante atrás
  focus --pid PID [--titulo TEXTO]
                           trae delante la aplicación y su ventana
  place --pid PID --x X --y Y --ancho A --alto H [--titulo TEXTO] [--indice N]
                           coloca una ventana de la aplicación
  minimize --pid PID [--titulo TEXTO] [--indice N]
                           minimiza una ventana de la aplicación

APP es un número de proceso o parte del nombre de la aplicación; sin él, la que está en primer
plano. Los puntos son de la pantalla, con el origen arriba a la izquierda.

Salida: 0 si salió bien, 1 si el comando falló, 2 si falta el comando o no se conoce.

  --help                   muestra esta ayuda
  --version                muestra la versión

Más en man tildo-ax.
)";

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
      const Argumentos argumentos = argumentosDeAx(std::move(args));
      auto escritorio = abrirEscritorio(c.bus);
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
