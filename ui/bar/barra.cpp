#include "ui/bar/barra.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

#include "common/archivos.h"
#include "common/texto.h"
#include "ui/bar/leer_posicion.h"
#include "ui/bar/posicion.h"
#include "ui/frame/ajustes.h"
#include "ui/frame/constantes.h"
#include "ui/frame/lineas.h"

namespace tildo::ui {
namespace {

std::optional<Json> posicionGuardada(const Rutas& rutas) {
  const auto bytes = leerArchivo(rutas.archivoPosicion);
  return bytes ? leerPosicion(*bytes) : std::nullopt;
}

std::string textoDeAjustes(const Rutas& rutas) {
  return leerTexto(rutas.archivoAjustes).value_or("");
}

}  // namespace

std::string decimal(double valor) {
  std::string t = textoDeNumero(valor).value_or(std::isnan(valor) ? "nan" : "inf");
  if (std::isfinite(valor) && t.find_first_of(".e") == std::string::npos) t += ".0";
  return t;
}

Barra::Barra(Procesos& procesos, PantallasDeBarra& pantallas, Reloj& reloj, Rutas rutas)
    : procesos_(procesos),
      pantallas_(pantallas),
      reloj_(reloj),
      rutas_(std::move(rutas)),
      mioPid_(procesos.mioPid()) {}

bool Barra::puedoArrancar() {
  traza("arrancando la barra");
  if (meTocaSerLaBarra(procesos_)) return true;
  traza("ya había otra barra: me retiro sin dibujar");
  return false;
}

void Barra::arrancar(Panel& panel) {
  panel_ = &panel;
  const Json ajustes = leerAjustes(rutas_);
  compacta_ = compactaSegun(posicionGuardada(rutas_));
  const std::string idioma = idiomaEfectivo(ajustes);
  pistaCerrar_ = texto(idioma, "close");

  acomodar();
  colocar();
  acomodar();
  panel.ponerPista(texto(idioma, "drag"));
  panel.mostrar();
  guardarPosicion();

  ultimoTextoAjustes_ = textoDeAjustes(rutas_);
  escribirAtomico(rutas_.archivoCandado, std::to_string(mioPid_));

  const Rect m = panel.marco();
  traza("barra lista: pid " + std::to_string(mioPid_) +
        ", compacta=" + (compacta_ ? "true" : "false") + ", marco=(" + decimal(m.x) + ", " +
        decimal(m.y) + ", " + decimal(m.ancho) + ", " + decimal(m.alto) + ")");
  escribirLinea({{"ok", true}, {"listo", true}, {"barra", true}, {"compacta", compacta_}});
}

bool Barra::latido() {
  // 1. Peer check, every fourth beat.
  if (++latidosSinRevisar_ >= 4) {
    latidosSinRevisar_ = 0;
    anotarBarrasVivas();
    if (!meTocaSerLaBarra(procesos_)) {
      auto pids = procesos_.pidsDeBarras();
      std::sort(pids.begin(), pids.end());
      traza("salgo: hay otra barra con pid más bajo (" + enCorchetes(pids) + ")");
      return false;
    }
  }

  // 2. Settings changed by someone else.
  if (std::string actual = textoDeAjustes(rutas_); actual != ultimoTextoAjustes_) {
    ultimoTextoAjustes_ = std::move(actual);
    const Json ajustes = leerAjustes(rutas_);
    const auto barra = ajustes.find("barra");
    if (barra != ajustes.end() && barra->is_boolean() && !barra->get<bool>()) {
      traza("salgo: el ajuste barra quedó en falso");
      return false;
    }
    acomodar();
  }

  // 3. The hide marker.
  if (recortarEspacios(leerTexto(rutas_.archivoOcultar).value_or("")) == "1") {
    if (panel_->visible()) panel_->ocultar();
  } else if (!panel_->visible()) {
    panel_->mostrar();
  }

  // 4. The agent server's presence.
  if (procesos_.hayTildoCorriendo()) {
    sinTildoDesde_.reset();
  } else if (!sinTildoDesde_) {
    sinTildoDesde_ = reloj_.ahora();
  } else if (reloj_.ahora() - *sinTildoDesde_ > 15.0) {
    traza("ya no hay Tildo corriendo: me retiro");
    return false;
  }

  // 5. Growth direction, once the user has let go of the bar.
  if (abriaArriba_ && *abriaArriba_ != abreHaciaArriba() && !pantallas_.hayBotonPulsado()) {
    acomodar();
    guardarPosicion();
  }

  // 6. The lock.
  if (const auto texto = leerTexto(rutas_.archivoCandado)) {
    if (const auto pid = pidDelCandado(*texto); pid && *pid != mioPid_) {
      if (procesos_.vive(*pid)) {
        traza("salgo: el candado lo tiene el pid " + std::to_string(*pid) + " y yo soy " +
              std::to_string(mioPid_));
        return false;
      }
      traza("el candado era de un proceso muerto (" + std::to_string(*pid) + "): me quedo");
      escribirAtomico(rutas_.archivoCandado, std::to_string(mioPid_));
    }
  }

  // 7. The position follows drags.
  guardarPosicion();
  return true;
}

bool Barra::cambiar(const std::string& clave, bool valor) {
  auto ajustes = leerAjustesParaCambiar(rutas_);
  if (!ajustes) {
    // The layout that follows puts the row back as the file has it.
    traza("no cambio «" + clave + "»: ajustes.json no se lee como ajustes");
    acomodar();
    return true;
  }
  (*ajustes)[clave] = valor;
  guardarAjustes(rutas_, *ajustes);
  ultimoTextoAjustes_ = textoDeAjustes(rutas_);
  acomodar();
  if (clave == "barra" && !valor) {
    cerrar();
    return false;
  }
  return true;
}

void Barra::alternarTamano() {
  compacta_ = !compacta_;
  acomodar();
  guardarPosicion();
}

void Barra::cerrar() {
  traza("cerrar() pedido: me oculto solo en esta sesión");
  std::error_code ec;
  std::filesystem::create_directories(rutas_.carpeta, ec);
  escribirAtomico(rutas_.archivoCerrada, decimal(reloj_.ahora()));
}

std::optional<Rect> Barra::visiblePrincipal() {
  const auto principal = pantallas_.principal();
  if (!principal) return std::nullopt;
  return principal->visible;
}

bool Barra::abreHaciaArriba() {
  return ui::abreHaciaArriba(panel_->marco(), visiblePrincipal());
}

void Barra::acomodar() {
  const Disposicion d = ui::acomodar(
      leerAjustes(rutas_), compacta_, panel_->marco(), visiblePrincipal(),
      [this](const std::string& etiqueta) { return panel_->anchoDeEtiqueta(etiqueta); },
      pistaCerrar_);
  abriaArriba_ = d.haciaArriba;
  panel_->aplicar(d);
}

void Barra::colocar() {
  const auto v = visiblePrincipal();
  if (!v) return;
  const double t = alturaDeReferencia(pantallas_.pantallas(), *v);
  panel_->moverA(origenAlColocar(posicionGuardada(rutas_), *v, t, panel_->marco()));
}

void Barra::guardarPosicion() {
  const auto v = visiblePrincipal();
  if (!v) return;
  Rect p = panel_->marco();
  const Punto dentro = dentroDe(p, *v);
  if (std::abs(dentro.x - p.x) > 0.5 || std::abs(dentro.y - p.y) > 0.5) panel_->moverA(dentro);
  p.x = dentro.x;
  p.y = dentro.y;
  const auto texto = textoDePosicion(p, alturaDeReferencia(pantallas_.pantallas(), *v), compacta_);
  if (!texto || leerTexto(rutas_.archivoPosicion) == texto) return;
  escribirAtomico(rutas_.archivoPosicion, *texto);
}

void Barra::anotarBarrasVivas() {
  escribirAtomico(rutas_.carpeta + "/barras-vivas.txt",
                  lineaDeBarrasVivas(procesos_.pidsDeBarras(), mioPid_));
}

}  // namespace tildo::ui
