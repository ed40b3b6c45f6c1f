#include "ui/frame/comandos.h"

#include <cstdlib>
#include <exception>

#include "common/fallo.h"
#include "ui/bar/comando_barra.h"
#include "ui/frame/ajustes.h"
#include "ui/frame/dialogo_permiso.h"
#include "ui/frame/lineas.h"
#include "ui/frame/voz.h"
#include "ui/overlays/qt/comandos.h"
#include "ui/watcher/vigilar.h"

namespace tildo::ui {
namespace {

[[noreturn]] void comandoDecir(const Argumentos& args) {
  const Dicho d = queDecir(args);
  decir(d.texto, d.voz);
}

[[noreturn]] void comandoPermiso(const Argumentos& args, const Rutas& rutas) {
  const std::string app = args.bandera("--app").value_or("esta aplicación");
  const double segundos = segundosDePermiso(args.bandera("--segundos"));
  const auto textos = textosDePermiso(idiomaEfectivo(leerAjustes(rutas)), app, segundos);
  const bool permitido = preguntarPermiso(textos, segundos);
  escribirLinea(lineaDeRespuesta(app, permitido));
  // Leaves the pending time-out and the windows to the process's end.
  std::exit(0);
}

}  // namespace

const char* const USO = R"(Uso: tildo-ui COMANDO [OPCIONES]

Muestra a Tildo en la pantalla y escribe, a medida que pasan las cosas, una línea JSON por
suceso: "ok" dice si va bien y, si no, "error" dice por qué.

  barra                    la barra de Tildo con sus interruptores, mientras Tildo corre
  aro X Y [--segundos N] [--etiqueta TEXTO]
                           un aro que marca el punto (X, Y) durante N segundos (8)
  cursor                   la mano de neón que sigue al puntero, hasta que se la termine
  decir (--texto TEXTO [--voz VOZ] | PALABRAS...)
                           dice el texto en voz alta
  permiso [--app NOMBRE] [--segundos N]
                           pregunta si Tildo puede usar la aplicación; espera N segundos (60)
  vigilar [--clics]        informa del teclado y el ratón del usuario; lee por la entrada las
                           órdenes suprimir, libre y salir

Los puntos son de la pantalla, con el origen arriba a la izquierda. Los ajustes y la barra
guardan sus archivos en TILDO_CONFIG, o en ~/.config/tildo.

Salida: 0 si salió bien, 1 si el comando falló, 2 si falta el comando o no se conoce, 3 si
vigilar no puede escuchar.

  --help                   muestra esta ayuda
  --version                muestra la versión

Más en man tildo-ui.
)";

int ejecutar(std::vector<std::string> args, const Rutas& rutas) {
  try {
    if (args.empty()) fallo("falta el comando. Usa: barra | aro | cursor | decir | vigilar", 2);
    const std::string comando = args.front();
    args.erase(args.begin());
    if (comando == "barra") return comandoBarra(rutas);
    const Argumentos opciones = argumentosDeUi(std::move(args));
    if (comando == "aro") mostrarAro(opciones);
    if (comando == "cursor") mostrarCursor(rutas.carpetaAssets);
    if (comando == "decir") comandoDecir(opciones);
    if (comando == "permiso") comandoPermiso(opciones, rutas);
    if (comando == "vigilar") vigilar(opciones);
    fallo("comando desconocido: " + comando, 2);
  } catch (const Fallo& f) {
    escribirLinea(respuestaDeFallo(f.mensaje));
    return f.codigo;
  } catch (const std::exception& e) {
    escribirLinea(respuestaDeFallo(std::string("error interno: ") + e.what()));
    return 1;
  }
}

}  // namespace tildo::ui
