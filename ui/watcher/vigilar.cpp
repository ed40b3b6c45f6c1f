#include "ui/watcher/vigilar.h"

#include "desktop/fuente_eventos.h"
#include "ui/watcher/vigia.h"

namespace tildo::ui {

void vigilar(const Args& args) {
  escribirLinea(lineaDeVigilancia());
  static Vigia vigia;
  vigia.escucharOrdenes();
  vigia.iniciar(tiene(args, "--clics"), abrirFuenteDeEventos);
  vigia.correr();
}

}  // namespace tildo::ui
