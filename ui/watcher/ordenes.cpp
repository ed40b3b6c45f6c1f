#include "ui/watcher/ordenes.h"

#include <string>

#include "common/texto.h"

namespace tildo::ui {

Orden leerOrden(std::string_view linea) {
  if (linea.ends_with('\r')) linea.remove_suffix(1);
  const std::string orden = minusculas(recortarEspacios(linea));
  if (orden.starts_with("suprimir")) return Orden::suprimir;
  if (orden == "libre") return Orden::libre;
  if (orden == "salir") return Orden::salir;
  return Orden::ninguna;
}

}  // namespace tildo::ui
