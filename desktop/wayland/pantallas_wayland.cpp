#include "desktop/wayland/pantallas_wayland.h"

#include "desktop/linux/sistema.h"
#include "desktop/wayland/entrada_wayland.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {

PantallasWayland::PantallasWayland(ConexionWayland& conexion, Sway* sway,
                                   VentanasCompositor* ventanas)
    : conexion_(conexion), sway_(sway), ventanas_(ventanas) {}

Rect PantallasWayland::haciaAbajoIzquierda(const Rect& r) {
  const Rect& p = salidaPrincipal(conexion_.salidas()).logico;
  return {r.x - p.x, (p.y + p.alto) - (r.y + r.alto), r.ancho, r.alto};
}

Rect PantallasWayland::limitesPrincipal() {
  const Rect& p = salidaPrincipal(conexion_.salidas()).logico;
  return {0, 0, p.ancho, p.alto};
}

int64_t PantallasWayland::pixelesAncho() {
  return salidaPrincipal(conexion_.salidas()).pixelesAncho;
}

int64_t PantallasWayland::pixelesAlto() {
  return salidaPrincipal(conexion_.salidas()).pixelesAlto;
}

// The usable part of an output: the rectangle of the workspace sway shows there, which leaves
// out what panels reserve.
Pantalla PantallasWayland::pantallaDe(const Salida& s) {
  if (!areas_) {
    areas_.emplace();
    const auto escritorios = sway_ ? sway_->pedir(Sway::ESCRITORIOS) : std::nullopt;
    if (escritorios && escritorios->is_array())
      for (const Json& e : *escritorios) {
        if (!e.is_object() || !e.value("visible", false)) continue;
        const auto r = e.find("rect");
        if (r == e.end() || !r->is_object()) continue;
        areas_->emplace_back(e.value("output", ""),
                             Rect{r->value("x", 0.0), r->value("y", 0.0), r->value("width", 0.0),
                                  r->value("height", 0.0)});
      }
  }
  Rect visible = s.logico;
  for (const auto& [salida, area] : *areas_)
    if (salida == s.nombre && area.ancho > 0 && area.alto > 0) visible = area;
  return {haciaAbajoIzquierda(s.logico), haciaAbajoIzquierda(visible)};
}

std::vector<Pantalla> PantallasWayland::pantallas() {
  const auto& salidas = conexion_.salidas();
  const Salida& p = salidaPrincipal(salidas);
  std::vector<Pantalla> lista{pantallaDe(p)};
  for (const Salida& s : salidas)
    if (&s != &p) lista.push_back(pantallaDe(s));
  return lista;
}

std::optional<Pantalla> PantallasWayland::principal() {
  return pantallaDe(salidaPrincipal(conexion_.salidas()));
}

// wlroots tells no client where the pointer is: it is where the last run left it, or the main
// output's top-left corner when no run has moved it.
Punto PantallasWayland::puntero() {
  const Rect& p = salidaPrincipal(conexion_.salidas()).logico;
  const Punto ultimo = ultimoPunteroPublicado().value_or(Punto{p.x, p.y});
  return {ultimo.x - p.x, (p.y + p.alto) - ultimo.y};
}

std::optional<std::vector<DatosVentana>> PantallasWayland::listaVentanas() {
  if (!ventanas_) return std::nullopt;
  const Rect& p = salidaPrincipal(conexion_.salidas()).logico;
  std::vector<DatosVentana> lista;
  for (const VentanaCompositor& v : ventanas_->todas()) {
    if (!v.visible) continue;
    DatosVentana d;
    if (v.idPropio) d.numero = v.id;
    d.capa = 0;
    // Without its process, a window's owner is the application its app id names.
    if (!v.appId.empty()) d.dueno = v.appId;
    if (v.pid) {
      d.pid = *v.pid;
      d.dueno = nombreDeProceso(*v.pid);
    }
    d.nombre = v.titulo;
    if (v.marco)
      d.limites = Rect{v.marco->x - p.x, v.marco->y - p.y, v.marco->ancho, v.marco->alto};
    lista.push_back(std::move(d));
  }
  return lista;
}

std::string PantallasWayland::versionSistema() {
  return versionDelSistema();
}

// The compositor lets clients copy the screen when it offers wlr-screencopy.
bool PantallasWayland::capturaPermitida() {
  return conexion_.admiteCaptura();
}

}  // namespace tildo
