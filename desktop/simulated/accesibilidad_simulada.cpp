#include "desktop/simulated/accesibilidad_simulada.h"

#include <algorithm>
#include <cmath>

namespace tildo {
namespace {

using Ruta = Json::json_pointer;

// Element attributes and the description keys that hold them.
const std::map<std::string, std::string, std::less<>> CLAVES = {
    {"AXRole", "rol"},
    {"AXSubrole", "subrol"},
    {"AXTitle", "titulo"},
    {"AXValue", "valor"},
    {"AXDescription", "descripcion"},
    {"AXHelp", "ayuda"},
    {"AXPlaceholderValue", "pista"},
    {"AXEnabled", "habilitado"},
    {"AXFocused", "enfocado"},
    {"AXMinimized", "minimizado"},
};

std::optional<double> numero(const Json& j, const char* clave) {
  auto it = j.find(clave);
  if (it == j.end() || !it->is_number()) return std::nullopt;
  return it->get<double>();
}

std::optional<Punto> puntoDe(const Json& j) {
  if (!j.is_object()) return std::nullopt;
  auto x = numero(j, "x"), y = numero(j, "y");
  if (!x || !y) return std::nullopt;
  return Punto{*x, *y};
}

std::optional<Medidas> medidasDe(const Json& j) {
  if (!j.is_object()) return std::nullopt;
  auto ancho = numero(j, "ancho"), alto = numero(j, "alto");
  if (!ancho || !alto) return std::nullopt;
  return Medidas{*ancho, *alto};
}

// A described value with its kind kept.
std::optional<Valor> valorDe(const Json& j) {
  if (j.is_string()) return Valor(j.get<std::string>());
  if (j.is_boolean()) return Valor(j.get<bool>());
  if (j.is_number_integer() && !j.is_number_unsigned()) return Valor(j.get<int64_t>());
  if (j.is_number_unsigned()) {
    const auto n = j.get<uint64_t>();
    if (n <= static_cast<uint64_t>(INT64_MAX)) return Valor(static_cast<int64_t>(n));
    return Valor(static_cast<double>(n));
  }
  if (j.is_number_float()) return Valor(j.get<double>());
  if (auto p = puntoDe(j)) return Valor(*p);
  if (auto m = medidasDe(j)) return Valor(*m);
  return std::nullopt;
}

bool contieneTexto(const Json& nodo, const char* clave, std::string_view texto) {
  auto it = nodo.find(clave);
  if (it == nodo.end() || !it->is_array()) return false;
  return std::any_of(it->begin(), it->end(),
                     [&](const Json& j) { return j.is_string() && j.get<std::string>() == texto; });
}

bool marcado(const Json& nodo, const char* clave) {
  auto it = nodo.find(clave);
  return it != nodo.end() && it->is_boolean() && it->get<bool>();
}

size_t cuantos(const Json& nodo, const char* clave) {
  auto it = nodo.find(clave);
  return it != nodo.end() && it->is_array() ? it->size() : 0;
}

// A number for the log; JSON has no form for the others.
Json numeroJson(double n) {
  return std::isfinite(n) ? Json(n) : Json(nullptr);
}

Json registroDe(const Valor& v) {
  if (auto p = std::get_if<Punto>(&v)) return {{"x", numeroJson(p->x)}, {"y", numeroJson(p->y)}};
  if (auto m = std::get_if<Medidas>(&v))
    return {{"ancho", numeroJson(m->ancho)}, {"alto", numeroJson(m->alto)}};
  if (auto b = std::get_if<bool>(&v)) return *b;
  if (auto s = std::get_if<std::string>(&v)) return *s;
  if (auto n = std::get_if<int64_t>(&v)) return *n;
  if (auto d = std::get_if<double>(&v)) return numeroJson(*d);
  return nullptr;
}

class ElementoSimulado : public Elemento {
 public:
  // An element without a path exposes nothing.
  ElementoSimulado(AccesibilidadSimulada& ax, std::optional<Ruta> ruta)
      : ax_(ax), ruta_(std::move(ruta)) {}

  std::optional<Valor> atributo(std::string_view nombre) override;
  std::optional<std::vector<std::string>> acciones() override;
  int realizar(std::string_view accion) override;
  int fijar(std::string_view nombre, const Valor& valor) override;

 private:
  // The node this element reads, when it can be read at all.
  const Json* nodo() {
    if (!ruta_ || !ax_.confiable()) return nullptr;
    return ax_.nodo(*ruta_);
  }
  // "/aplicaciones/N/arbol": the application element.
  bool esAplicacion() const { return ruta_ && !ruta_->empty() && ruta_->back() == "arbol"; }
  ElementoRef en(Ruta ruta) { return std::make_shared<ElementoSimulado>(ax_, std::move(ruta)); }
  std::optional<Valor> padre();
  std::optional<Valor> deAplicacion(std::string_view nombre);
  ElementoRef primeroEnfocado(const Ruta& ruta);

  AccesibilidadSimulada& ax_;
  std::optional<Ruta> ruta_;
};

std::optional<Valor> ElementoSimulado::atributo(std::string_view nombre) {
  if (!ruta_ || !ax_.confiable()) return std::nullopt;
  if (esAplicacion()) {
    if (auto v = deAplicacion(nombre)) return v;
  }
  if (nombre == "AXParent") return padre();
  const Json* n = nodo();
  if (!n || !n->is_object()) return std::nullopt;
  if (auto c = CLAVES.find(nombre); c != CLAVES.end() && n->contains(c->second))
    return valorDe((*n)[c->second]);
  if (nombre == "AXPosition" && (n->contains("posicion") || n->contains("posiciones"))) {
    auto p = ax_.posicion(*ruta_, true);
    if (!p) return std::nullopt;
    return Valor(*p);
  }
  if (nombre == "AXSize" && n->contains("medidas")) {
    auto m = medidasDe((*n)["medidas"]);
    if (!m) return std::nullopt;
    return Valor(*m);
  }
  if (nombre == "AXChildren" && n->contains("hijos")) {
    if (!(*n)["hijos"].is_array()) return std::nullopt;
    std::vector<ElementoRef> hijos;
    for (size_t i = 0; i < (*n)["hijos"].size(); ++i) hijos.push_back(en(*ruta_ / "hijos" / i));
    return Valor(std::move(hijos));
  }
  auto crudos = n->find("atributos");
  if (crudos == n->end() || !crudos->is_object()) return std::nullopt;
  auto it = crudos->find(std::string(nombre));
  if (it == crudos->end()) return std::nullopt;
  return valorDe(*it);
}

// The element above: the application for its top elements and its windows, none for the
// application itself.
std::optional<Valor> ElementoSimulado::padre() {
  if (esAplicacion() || ruta_->empty()) return std::nullopt;
  const Ruta arriba = ruta_->parent_pointer();
  if (arriba.empty()) return std::nullopt;
  if (arriba.back() == "ventanas") return Valor(en(arriba.parent_pointer() / "arbol"));
  if (arriba.back() == "hijos") return Valor(en(arriba.parent_pointer()));
  return std::nullopt;
}

std::optional<Valor> ElementoSimulado::deAplicacion(std::string_view nombre) {
  const Ruta app = ruta_->parent_pointer();
  const Json* entrada = ax_.nodo(app);
  if (!entrada || !entrada->is_object()) return std::nullopt;
  const size_t n = cuantos(*entrada, "ventanas");
  if (nombre == "AXWindows") {
    if (!entrada->contains("ventanas")) return std::nullopt;
    std::vector<ElementoRef> ventanas;
    for (size_t i = 0; i < n; ++i) ventanas.push_back(en(app / "ventanas" / i));
    return Valor(std::move(ventanas));
  }
  if (nombre == "AXMainWindow" || nombre == "AXFocusedWindow") {
    const char* marca = nombre == "AXMainWindow" ? "principal" : "enfocada";
    for (size_t i = 0; i < n; ++i)
      if (marcado((*entrada)["ventanas"][i], marca)) return Valor(en(app / "ventanas" / i));
    return std::nullopt;
  }
  if (nombre == "AXFocusedUIElement") {
    if (auto e = primeroEnfocado(*ruta_)) return Valor(e);
    for (size_t i = 0; i < n; ++i)
      if (auto e = primeroEnfocado(app / "ventanas" / i)) return Valor(e);
    return std::nullopt;
  }
  return std::nullopt;
}

ElementoRef ElementoSimulado::primeroEnfocado(const Ruta& ruta) {
  const Json* n = ax_.nodo(ruta);
  if (!n || !n->is_object()) return nullptr;
  if (marcado(*n, "enfocado")) return en(ruta);
  for (size_t i = 0; i < cuantos(*n, "hijos"); ++i)
    if (auto e = primeroEnfocado(ruta / "hijos" / i)) return e;
  return nullptr;
}

std::optional<std::vector<std::string>> ElementoSimulado::acciones() {
  const Json* n = nodo();
  if (!n || !n->is_object()) return std::nullopt;
  auto it = n->find("acciones");
  if (it == n->end()) return std::vector<std::string>{};
  if (!it->is_array()) return std::nullopt;
  std::vector<std::string> nombres;
  for (const auto& a : *it) {
    if (!a.is_string()) return std::nullopt;
    nombres.push_back(a.get<std::string>());
  }
  return nombres;
}

int ElementoSimulado::realizar(std::string_view accion) {
  const Json* n = nodo();
  const bool hecha = n && n->is_object() && contieneTexto(*n, "acciones", accion) &&
                     !contieneTexto(*n, "acciones_fallidas", accion);
  const int resultado = hecha ? AX_EXITO : AX_ERROR;
  ax_.descripcion().registrar({{"evento", "accion"},
                               {"elemento", ruta_ ? ruta_->to_string() : ""},
                               {"accion", std::string(accion)},
                               {"resultado", resultado}});
  return resultado;
}

int ElementoSimulado::fijar(std::string_view nombre, const Valor& valor) {
  const Json* n = nodo();
  int resultado = AX_ERROR;
  if (n && n->is_object() && !contieneTexto(*n, "rechaza", nombre)) {
    Json& destino = ax_.descripcion().datos()[*ruta_];
    const auto* p = std::get_if<Punto>(&valor);
    const auto* m = std::get_if<Medidas>(&valor);
    const auto* b = std::get_if<bool>(&valor);
    if (nombre == "AXPosition" && p && std::isfinite(p->x) && std::isfinite(p->y)) {
      destino["posicion"] = {{"x", p->x}, {"y", p->y}};
      destino.erase("posiciones");
      resultado = AX_EXITO;
    } else if (nombre == "AXSize" && m && std::isfinite(m->ancho) && std::isfinite(m->alto)) {
      destino["medidas"] = {{"ancho", m->ancho}, {"alto", m->alto}};
      resultado = AX_EXITO;
    } else if (nombre == "AXMinimized" && b) {
      destino["minimizado"] = *b;
      resultado = AX_EXITO;
    }
  }
  ax_.descripcion().registrar({{"evento", "fijar"},
                               {"elemento", ruta_ ? ruta_->to_string() : ""},
                               {"atributo", std::string(nombre)},
                               {"valor", registroDe(valor)},
                               {"resultado", resultado}});
  if (resultado == AX_EXITO) ax_.descripcion().anotarCambio();
  return resultado;
}

}  // namespace

const Json* AccesibilidadSimulada::nodo(const Json::json_pointer& ruta) {
  try {
    const Json& datos = d_.datos();
    if (!datos.contains(ruta)) return nullptr;
    return &datos.at(ruta);
  } catch (const Json::exception&) {
    return nullptr;
  }
}

std::optional<Punto> AccesibilidadSimulada::posicion(const Json::json_pointer& ruta,
                                                     bool consumir) {
  const Json* n = nodo(ruta);
  if (!n || !n->is_object()) return std::nullopt;
  auto lista = n->find("posiciones");
  if (lista != n->end() && lista->is_array() && !lista->empty()) {
    size_t& leidas = lecturas_[ruta.to_string()];
    const size_t i = std::min(leidas, lista->size() - 1);
    if (consumir) ++leidas;
    return puntoDe((*lista)[i]);
  }
  auto p = n->find("posicion");
  if (p == n->end()) return std::nullopt;
  return puntoDe(*p);
}

std::optional<size_t> AccesibilidadSimulada::indiceDe(int32_t pid) {
  const Json& datos = d_.datos();
  auto apps = datos.find("aplicaciones");
  if (apps == datos.end() || !apps->is_array()) return std::nullopt;
  for (size_t i = 0; i < apps->size(); ++i) {
    const Json& a = (*apps)[i];
    if (a.is_object() && a.contains("pid") && a["pid"].is_number_integer() &&
        a["pid"].get<int64_t>() == pid)
      return i;
  }
  return std::nullopt;
}

ElementoRef AccesibilidadSimulada::aplicacion(int32_t pid) {
  auto i = indiceDe(pid);
  if (!i) return std::make_shared<ElementoSimulado>(*this, std::nullopt);
  return std::make_shared<ElementoSimulado>(*this, Ruta("/aplicaciones") / *i / "arbol");
}

// Children before their parent: the first element down the tree whose frame holds the point.
ElementoRef AccesibilidadSimulada::tocado(const Json::json_pointer& ruta, double x, double y) {
  const Json* n = nodo(ruta);
  if (!n || !n->is_object()) return nullptr;
  for (size_t i = 0; i < cuantos(*n, "hijos"); ++i)
    if (auto e = tocado(ruta / "hijos" / i, x, y)) return e;
  auto p = posicion(ruta, false);
  auto m = n->contains("medidas") ? medidasDe((*n)["medidas"]) : std::nullopt;
  if (p && m && x >= p->x && x < p->x + m->ancho && y >= p->y && y < p->y + m->alto)
    return std::make_shared<ElementoSimulado>(*this, ruta);
  return nullptr;
}

ElementoRef AccesibilidadSimulada::elementoEn(float x, float y) {
  if (!confiable()) return nullptr;
  const Json& datos = d_.datos();
  auto apps = datos.find("aplicaciones");
  if (apps == datos.end() || !apps->is_array()) return nullptr;
  std::vector<size_t> orden;
  auto frente = datos.find("primer_plano");
  if (frente != datos.end() && frente->is_number_integer()) {
    if (auto i = indiceDe(static_cast<int32_t>(frente->get<int64_t>()))) orden.push_back(*i);
  }
  for (size_t i = 0; i < apps->size(); ++i)
    if (std::find(orden.begin(), orden.end(), i) == orden.end()) orden.push_back(i);
  for (size_t i : orden) {
    const Ruta app = Ruta("/aplicaciones") / i;
    if (auto e = tocado(app / "arbol", x, y)) return e;
    const Json* entrada = nodo(app);
    for (size_t v = 0; entrada && v < cuantos(*entrada, "ventanas"); ++v)
      if (auto e = tocado(app / "ventanas" / v, x, y)) return e;
  }
  return nullptr;
}

bool AccesibilidadSimulada::confiable() {
  const Json& datos = d_.datos();
  auto permisos = datos.find("permisos");
  if (permisos == datos.end() || !permisos->is_object()) return true;
  auto a = permisos->find("accesibilidad");
  return a == permisos->end() || !a->is_boolean() || a->get<bool>();
}

std::vector<Aplicacion> EspacioSimulado::aplicaciones() {
  std::vector<Aplicacion> lista;
  const Json& datos = d_.datos();
  auto apps = datos.find("aplicaciones");
  if (apps == datos.end() || !apps->is_array()) return lista;
  for (const auto& a : *apps) {
    if (!a.is_object() || !a.contains("pid") || !a["pid"].is_number_integer()) continue;
    const int64_t pid = a["pid"].get<int64_t>();
    if (pid < INT32_MIN || pid > INT32_MAX) continue;
    Aplicacion app{static_cast<int32_t>(pid), std::nullopt, std::nullopt};
    if (a.contains("nombre") && a["nombre"].is_string()) app.nombre = a["nombre"];
    if (a.contains("bundle") && a["bundle"].is_string()) app.bundle = a["bundle"];
    lista.push_back(std::move(app));
  }
  return lista;
}

std::optional<Aplicacion> EspacioSimulado::porPid(int32_t pid) {
  for (auto& app : aplicaciones())
    if (app.pid == pid) return app;
  return std::nullopt;
}

std::optional<Aplicacion> EspacioSimulado::primerPlano() {
  const Json& datos = d_.datos();
  auto frente = datos.find("primer_plano");
  if (frente == datos.end() || !frente->is_number_integer()) return std::nullopt;
  const int64_t pid = frente->get<int64_t>();
  if (pid < INT32_MIN || pid > INT32_MAX) return std::nullopt;
  return porPid(static_cast<int32_t>(pid));
}

bool EspacioSimulado::activar(int32_t pid) {
  const bool existe = porPid(pid).has_value();
  d_.registrar({{"evento", "activar"}, {"pid", pid}, {"resultado", existe}});
  if (!existe) return false;
  d_.datos()["primer_plano"] = pid;
  d_.anotarCambio();
  return true;
}

}  // namespace tildo
