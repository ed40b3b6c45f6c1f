#include "desktop/wayland/ventanas_wayland.h"

namespace tildo {
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

}  // namespace tildo
