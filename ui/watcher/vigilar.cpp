#include "ui/watcher/vigilar.h"

#include "desktop/fuente_eventos.h"
#include "ui/watcher/vigia.h"

namespace tildo::ui {

void vigilar(const Argumentos& args) {
  escribirLinea(lineaDeVigilancia());
  static Vigia vigia;
  vigia.escucharOrdenes();
  vigia.iniciar(args.tiene("--clics"), abrirFuenteDeEventos);
  vigia.correr();
}

}  // namespace tildo::ui
