#include "desktop/wayland/ventanas_wayland.h"

#include <unistd.h>

#include <set>

#include "desktop/x11/ventanas_x11.h"

namespace tildo {
namespace {

Aplicacion aplicacionDe(int32_t pid, const std::string& appId) {
  Aplicacion a;
  a.pid = pid;
  a.nombre = nombreDeProceso(pid);
  if (!appId.empty()) a.bundle = appId;
  return a;
}

}  // namespace

std::optional<VentanaCompositor> VentanasCompositor::ventana(int64_t id) {
  for (auto& v : todas())
    if (v.id == id) return v;
  return std::nullopt;
}

Punto VentanasCompositor::origen() {
  const Rect& p = salidaPrincipal(conexion_.salidas()).logico;
  return {p.x, p.y};
}

std::vector<ElementoRef> VentanasCompositor::ventanas(int32_t pid) {
  std::vector<ElementoRef> lista;
  for (const auto& v : todas())
    if (esDe(v, pid)) lista.push_back(std::make_shared<VentanaWayland>(*this, v.id));
  return lista;
}

ElementoRef VentanasCompositor::principal(int32_t pid) {
  for (const auto& v : todas())
    if (esDe(v, pid) && v.visible) return std::make_shared<VentanaWayland>(*this, v.id);
  return nullptr;
}

ElementoRef VentanasCompositor::enfocada(int32_t pid) {
  for (const auto& v : todas())
    if (esDe(v, pid) && v.enfocada) return std::make_shared<VentanaWayland>(*this, v.id);
  return nullptr;
}

bool VentanasCompositor::activar(int32_t pid) {
  for (const auto& v : todas())
    if (esDe(v, pid)) return enfocar(v.id);
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
  if (!v->marco) return std::nullopt;
  const Punto o = fuente_.origen();
  if (nombre == "AXPosition") return Valor(Punto{v->marco->x - o.x, v->marco->y - o.y});
  if (nombre == "AXSize") return Valor(Medidas{v->marco->ancho, v->marco->alto});
  return std::nullopt;
}

std::optional<std::vector<std::string>> VentanaWayland::acciones() {
  return std::vector<std::string>{"AXRaise"};
}

int VentanaWayland::realizar(std::string_view accion) {
  if (accion != "AXRaise") return AX_ERROR;
  return fuente_.enfocar(id_) ? AX_EXITO : AX_ERROR;
}

int VentanaWayland::fijar(std::string_view nombre, const Valor& valor) {
  bool hecho = false;
  if (nombre == "AXPosition" && std::holds_alternative<Punto>(valor)) {
    const Punto o = fuente_.origen(), p = std::get<Punto>(valor);
    hecho = fuente_.colocar(id_, Punto{o.x + p.x, o.y + p.y}, std::nullopt);
  } else if (nombre == "AXSize" && std::holds_alternative<Medidas>(valor)) {
    hecho = fuente_.colocar(id_, std::nullopt, std::get<Medidas>(valor));
  } else if (nombre == "AXMinimized" && std::holds_alternative<bool>(valor)) {
    hecho = fuente_.minimizar(id_, std::get<bool>(valor));
  } else if (nombre == "AXFocused" && std::holds_alternative<bool>(valor) &&
             std::get<bool>(valor)) {
    hecho = fuente_.enfocar(id_);
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
      if (fuente_->esDe(v, pid)) return aplicacionDe(pid, v.appId);
  if (pid <= 0 || access(("/proc/" + std::to_string(pid)).c_str(), F_OK) != 0) return std::nullopt;
  return aplicacionDe(pid, "");
}

bool EspacioWayland::activar(int32_t pid) {
  return fuente_ && fuente_->activar(pid);
}

}  // namespace tildo
