#include "ax/accessibility/busqueda.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "ax/accessibility/arbol.h"
#include "ax/accessibility/lectores.h"
#include "ax/frame/aplicaciones.h"
#include "ax/frame/puntero.h"
#include "common/fallo.h"
#include "common/numeros.h"
#include "common/texto.h"

namespace tildo {
namespace {

// --name, else every positional joined with single spaces; lowercased.
std::string consulta(const Argumentos& args) {
  auto nombre = args.bandera("--name");
  return minusculas(nombre ? *nombre : unir(args.posicionales()));
}

std::vector<std::string> textosDelNodo(const Json& nodo) {
  std::vector<std::string> textos;
  for (const char* clave : {"titulo", "valor", "descripcion", "ayuda"}) {
    auto it = nodo.find(clave);
    if (it != nodo.end() && it->is_string()) textos.push_back(it->get<std::string>());
  }
  return textos;
}

// A number as a 32-bit float, infinite beyond its range as the C library's strtof gives it.
float aFlotante(double valor) {
  constexpr double mayor = std::numeric_limits<float>::max();
  if (valor > mayor) return std::numeric_limits<float>::infinity();
  if (valor < -mayor) return -std::numeric_limits<float>::infinity();
  return static_cast<float>(valor);
}

}  // namespace

bool coincide(const std::string& consulta, const std::vector<std::string>& textos) {
  for (const auto& t : textos)
    if (minusculas(t).find(consulta) != std::string::npos) return true;
  return false;
}

void Busqueda::buscar(const ElementoRef& elemento, int64_t nivel) {
  if (encontrado_ || nivel > 8) return;
  if (auto id = elemento->identidad(); !id.empty() && !vistos_.insert(std::move(id)).second) return;
  std::vector<std::string> textos;
  for (const char* nombre : {"AXTitle", "AXValue", "AXDescription", "AXHelp"})
    if (auto t = texto(*elemento, nombre)) textos.push_back(*t);
  if (coincide(consulta_, textos)) {
    encontrado_ = elemento;
    return;
  }
  auto hijos = elementosDe(*elemento, "AXChildren");
  if (!hijos) return;
  for (auto& hijo : *hijos) {
    buscar(hijo, nivel + 1);
    // Let go once searched: a huge tree is never held whole.
    hijo.reset();
  }
}

Quietud centroQuieto(Elemento& elemento, Entrada& entrada, int intentos, uint32_t espera) {
  Punto previo{0, 0};
  for (int i = 0; i < intentos; ++i) {
    auto p = punto(elemento, "AXPosition");
    if (!p) return {previo, false};
    auto m = medidas(elemento, "AXSize");
    if (!m) return {previo, false};
    const Punto centro{p->x + m->ancho * 0.5, p->y + m->alto * 0.5};
    if (i >= 1 && std::hypot(centro.x - previo.x, centro.y - previo.y) <= 2.0)
      return {centro, true};
    entrada.pausa(espera);
    previo = centro;
  }
  return {previo, false};
}

Json comandoAxFind(const Argumentos& args, Escritorio& escritorio) {
  const auto app = args.bandera("--app");
  const int64_t profundidad = enteroOPorDefecto(args, "--depth", 6);
  const int64_t maximo = enteroOPorDefecto(args, "--max", 400);
  const Proceso p = proceso(escritorio.espacio(), app);
  Json lista = Json::array();
  recorrer(*escritorio.accesibilidad().aplicacion(p.pid), 0, profundidad, maximo, lista);

  const std::string q = consulta(args);
  if (q.empty()) fallo("ax-find necesita --name");
  Json elementos = Json::array();
  int64_t total = 0;
  for (auto& nodo : lista) {
    if (!coincide(q, textosDelNodo(nodo))) continue;
    if (++total <= 25) elementos.push_back(std::move(nodo));
  }
  return {{"ok", true},    {"app", p.nombre}, {"bundle", p.bundle},
          {"consulta", q}, {"total", total},  {"elementos", std::move(elementos)}};
}

Json comandoAxClick(const Argumentos& args, Escritorio& escritorio) {
  const std::string q = consulta(args);
  if (q.empty()) fallo("ax-click necesita el nombre del elemento");
  const Proceso p = proceso(escritorio.espacio(), args.bandera("--app"));
  auto app = escritorio.accesibilidad().aplicacion(p.pid);
  // The same walk as ax-tree runs first; it wakes up trees that some applications build
  // lazily, so the search below sees what the outline would show.
  Json descartada = Json::array();
  recorrer(*app, 0, 8, 600, descartada);

  Busqueda busqueda(q);
  busqueda.buscar(app, 0);
  const auto& elemento = busqueda.encontrado();
  if (!elemento) fallo("no encontré ningún elemento que diga «" + q + "» en " + p.nombre);

  const auto nombres = acciones(*elemento);
  Entrada& entrada = escritorio.entrada();
  const Quietud q6 = centroQuieto(*elemento, entrada, 6, 120000);
  const Punto c = q6.centro;
  // A centre with no finite coordinates is no place to send the pointer either.
  if ((c.x == 0 && c.y == 0) || !std::isfinite(c.x) || !std::isfinite(c.y))
    fallo("encontré «" + q + "» pero no pude leer su posición");

  moverMouse(entrada, c);
  entrada.pausa(90000);
  Json r = {{"ok", true}, {"app", p.nombre}, {"encontrado", q}};
  ponerTruncado(r, "x", c.x);
  ponerTruncado(r, "y", c.y);
  const bool tienePress = std::find(nombres.begin(), nombres.end(), "AXPress") != nombres.end();
  if (tienePress && elemento->realizar("AXPress") == AX_EXITO) {
    r["metodo"] = "AXPress";
    return r;
  }
  hacerClic(entrada, c);
  r["metodo"] = "clic-en-centro";
  r["quieto"] = q6.quieto;
  return r;
}

Json comandoAxFocus(const Argumentos& args, Escritorio& escritorio) {
  const Proceso p = proceso(escritorio.espacio(), args.bandera("--app"));
  auto app = escritorio.accesibilidad().aplicacion(p.pid);
  Json r = Json::object();
  if (auto foco = elementoDe(*app, "AXFocusedUIElement")) {
    r = nodoSuelto(*foco);
    r["hay_foco"] = true;
  } else {
    r["hay_foco"] = false;
  }
  r["ok"] = true;
  r["app"] = p.nombre;
  r["bundle"] = p.bundle;
  return r;
}

Json comandoAxAt(const Argumentos& args, Escritorio& escritorio) {
  const auto pos = args.posicionales();
  std::optional<double> x, y;
  if (pos.size() >= 2) {
    x = leerDoble(pos[0]);
    y = leerDoble(pos[1]);
  }
  if (!x || !y) fallo("ax-at necesita x y");
  // The platform takes the point as 32-bit floats.
  const float fx = aFlotante(*x), fy = aFlotante(*y);
  ElementoRef elemento;
  // Nothing can be under a point that is not one.
  if (std::isfinite(fx) && std::isfinite(fy))
    elemento = escritorio.accesibilidad().elementoEn(fx, fy);
  if (elemento) {
    Json r = nodoSuelto(*elemento);
    r["encontrado"] = true;
    r["ok"] = true;
    return r;
  }
  Json r = {{"ok", true}, {"encontrado", false}};
  ponerTruncado(r, "x", fx);
  ponerTruncado(r, "y", fy);
  return r;
}

}  // namespace tildo
