#include "desktop/wayland/ventanas_wayland.h"

#include <unistd.h>

#include <cmath>
#include <set>

#include "desktop/x11/ventanas_x11.h"

namespace tildo {
namespace {

std::string criterio(int64_t id) {
  return "[con_id=" + std::to_string(id) + "] ";
}

// Whole pixels, as sway's commands take them.
std::string pixeles(double v) {
  return std::to_string(static_cast<long long>(std::llround(v)));
}

Aplicacion aplicacionDe(int32_t pid, const std::string& appId) {
  Aplicacion a;
  a.pid = pid;
  a.nombre = nombreDeProceso(pid);
  if (!appId.empty()) a.bundle = appId;
  return a;
}

}  // namespace

std::vector<VentanaSway> VentanasSway::todas() {
  const auto arbol = sway_.pedir(Sway::ARBOL);
  return arbol ? ventanasDelArbol(*arbol) : std::vector<VentanaSway>{};
}

std::optional<VentanaSway> VentanasSway::ventana(int64_t id) {
  for (auto& v : todas())
    if (v.id == id) return v;
  return std::nullopt;
}

Punto VentanasSway::origen() {
  const Rect& p = salidaPrincipal(conexion_.salidas()).logico;
  return {p.x, p.y};
}

std::vector<ElementoRef> VentanasSway::ventanas(int32_t pid) {
  std::vector<ElementoRef> lista;
  for (const auto& v : todas())
    if (v.pid == pid) lista.push_back(std::make_shared<VentanaWayland>(*this, v.id));
  return lista;
}

ElementoRef VentanasSway::principal(int32_t pid) {
  for (const auto& v : todas())
    if (v.pid == pid && v.visible) return std::make_shared<VentanaWayland>(*this, v.id);
  return nullptr;
}

ElementoRef VentanasSway::enfocada(int32_t pid) {
  for (const auto& v : todas())
    if (v.pid == pid && v.enfocada) return std::make_shared<VentanaWayland>(*this, v.id);
  return nullptr;
}

bool VentanasSway::activar(int32_t pid) {
  for (const auto& v : todas())
    if (v.pid == pid) return sway_.ordenar(criterio(v.id) + "focus");
  return false;
}

std::optional<Valor> VentanaWayland::atributo(std::string_view nombre) {
  if (nombre == "AXRole") return Valor(std::string("AXWindow"));
  if (nombre == "AXSubrole") return Valor(std::string("AXStandardWindow"));
  const auto v = fuente_.ventana(id_);
  if (!v) return std::nullopt;
  if (nombre == "AXTitle") return Valor(v->titulo);
  if (nombre == "AXMinimized") return Valor(v->minimizada);
  if (nombre == "AXFocused") return Valor(v->enfocada);
  const Punto o = fuente_.origen();
  if (nombre == "AXPosition") return Valor(Punto{v->marco.x - o.x, v->marco.y - o.y});
  if (nombre == "AXSize") return Valor(Medidas{v->marco.ancho, v->marco.alto});
  return std::nullopt;
}

std::optional<std::vector<std::string>> VentanaWayland::acciones() {
  return std::vector<std::string>{"AXRaise"};
}

bool VentanaWayland::ordenar(const std::string& orden) {
  return fuente_.sway().ordenar(criterio(id_) + orden);
}

int VentanaWayland::realizar(std::string_view accion) {
  if (accion != "AXRaise") return AX_ERROR;
  return ordenar("focus") ? AX_EXITO : AX_ERROR;
}

// A window sway tiles has its place and size from the layout: placing it floats it first.
int VentanaWayland::fijar(std::string_view nombre, const Valor& valor) {
  bool hecho = false;
  if (nombre == "AXPosition" && std::holds_alternative<Punto>(valor)) {
    const Punto o = fuente_.origen(), p = std::get<Punto>(valor);
    hecho = ordenar("floating enable, move absolute position " + pixeles(o.x + p.x) + " px " +
                    pixeles(o.y + p.y) + " px");
  } else if (nombre == "AXSize" && std::holds_alternative<Medidas>(valor)) {
    const Medidas m = std::get<Medidas>(valor);
    hecho = ordenar("floating enable, resize set width " + pixeles(m.ancho) + " px height " +
                    pixeles(m.alto) + " px");
  } else if (nombre == "AXMinimized" && std::holds_alternative<bool>(valor)) {
    const auto v = fuente_.ventana(id_);
    if (!v) return AX_ERROR;
    if (std::get<bool>(valor))
      hecho = v->minimizada || ordenar("move scratchpad");
    else
      hecho = !v->minimizada || ordenar("scratchpad show");
  } else if (nombre == "AXFocused" && std::holds_alternative<bool>(valor) &&
             std::get<bool>(valor)) {
    hecho = ordenar("focus");
  }
  return hecho ? AX_EXITO : AX_ERROR;
}

ElementoRef AccesibilidadWayland::aplicacion(int32_t pid) {
  if (!fuente_) return std::make_shared<ElementoMudo>();
  return std::make_shared<AplicacionDeVentanas>(*fuente_, pid);
}

std::vector<Aplicacion> EspacioWayland::aplicaciones() {
  std::vector<Aplicacion> lista;
  std::set<int32_t> vistos;
  if (fuente_)
    for (const auto& v : fuente_->todas())
      if (v.pid && vistos.insert(*v.pid).second) lista.push_back(aplicacionDe(*v.pid, v.appId));
  return lista;
}

std::optional<Aplicacion> EspacioWayland::primerPlano() {
  if (!fuente_) return std::nullopt;
  for (const auto& v : fuente_->todas())
    if (v.enfocada && v.pid) return aplicacionDe(*v.pid, v.appId);
  return std::nullopt;
}

std::optional<Aplicacion> EspacioWayland::porPid(int32_t pid) {
  if (fuente_)
    for (const auto& v : fuente_->todas())
      if (v.pid == pid) return aplicacionDe(pid, v.appId);
  if (pid <= 0 || access(("/proc/" + std::to_string(pid)).c_str(), F_OK) != 0) return std::nullopt;
  return aplicacionDe(pid, "");
}

bool EspacioWayland::activar(int32_t pid) {
  return fuente_ && fuente_->activar(pid);
}

}  // namespace tildo
