#include "ax/frame/info.h"

#include "ax/accessibility/lectores.h"
#include "common/numeros.h"

namespace tildo {

Json infoPantalla(Pantallas& pantallas, Accesibilidad& accesibilidad, Espacio& espacio) {
  const int64_t pixelesAncho = pantallas.pixelesAncho(), pixelesAlto = pantallas.pixelesAlto();
  const Rect limites = pantallas.limitesPrincipal();
  const double escala = limites.ancho > 0 ? double(pixelesAncho) / limites.ancho : 1.0;
  const auto frente = espacio.primerPlano();

  Json puntos = Json::object();
  ponerTruncado(puntos, "ancho", limites.ancho);
  ponerTruncado(puntos, "alto", limites.alto);
  Json info = {{"ok", true},
               {"macos", pantallas.versionSistema()},
               {"pantalla_puntos", puntos},
               {"pantalla_pixeles", {{"ancho", pixelesAncho}, {"alto", pixelesAlto}}},
               {"escala", escala},
               {"accesibilidad_concedida", accesibilidad.confiable()},
               {"app_en_primer_plano", frente && frente->nombre ? *frente->nombre : "?"},
               {"bundle_en_primer_plano", frente && frente->bundle ? *frente->bundle : "?"}};
  const Punto puntero = pantallas.puntero();
  info["pantalla_concedida"] = pantallas.capturaPermitida();
  if (frente) {
    info["pid_en_primer_plano"] = frente->pid;
    if (auto app = accesibilidad.aplicacion(frente->pid))
      if (auto ventana = elementoDe(*app, "AXFocusedWindow"))
        if (auto titulo = texto(*ventana, "AXTitle")) info["titulo_ventana"] = *titulo;
  }
  // The screen service counts y up from the bottom; pointer events count it down from the
  // top of the main display.
  Json cursor = Json::object();
  ponerTruncado(cursor, "x", puntero.x);
  const auto alto = truncar(limites.alto), y = truncar(puntero.y);
  if (alto && y) ponerTruncado(cursor, "y", double(*alto) - double(*y));
  info["cursor"] = cursor;
  return info;
}

Json comandoInfo(const Argumentos&, Escritorio& escritorio) {
  return infoPantalla(escritorio.pantallas(), escritorio.accesibilidad(), escritorio.espacio());
}

}  // namespace tildo
