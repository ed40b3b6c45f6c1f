#include "ax/accessibility/arbol.h"

#include <algorithm>
#include <set>
#include <string>

#include "ax/accessibility/lectores.h"
#include "ax/frame/aplicaciones.h"
#include "common/numeros.h"

namespace tildo {

bool esRolClave(std::string_view rol) {
  return std::find(ROLES_CLAVE.begin(), ROLES_CLAVE.end(), rol) != ROLES_CLAVE.end();
}

namespace {

// Whether the outline lists an element: it carries a text or a key role, or the walk starts
// at it.
bool seLista(const std::optional<std::string>& rol, const std::optional<std::string>& titulo,
             const std::optional<std::string>& valor, const std::optional<std::string>& descripcion,
             int64_t nivel) {
  return titulo || valor || descripcion || esRolClave(rol.value_or("")) || nivel == 0;
}

void recorrer(Elemento& elemento, int64_t nivel, int64_t profundidad, int64_t maximo, Json& hacia,
              std::set<std::string>& vistos) {
  if (static_cast<int64_t>(hacia.size()) >= maximo) return;
  // An element reached again, through a loop or a second parent, is not walked again.
  if (auto id = elemento.identidad(); !id.empty() && !vistos.insert(std::move(id)).second) return;
  if (nivel == 0) {
    elemento.anticipar(std::min(profundidad, NIVEL_MAS_HONDO), [](const Resumen& r) {
      return seLista(textoDe(r.rol), textoDe(r.titulo), textoDe(r.valor), textoDe(r.descripcion),
                     1);
    });
  }
  const auto rol = texto(elemento, "AXRole");
  const auto titulo = texto(elemento, "AXTitle");
  const auto valor = texto(elemento, "AXValue");
  const auto descripcion = texto(elemento, "AXDescription");
  const auto ayuda = texto(elemento, "AXHelp");
  const auto subrol = texto(elemento, "AXSubrole");
  // What is not listed is read no further than needed to tell: its frame, states and actions
  // cost the application calls of their own.
  if (seLista(rol, titulo, valor, descripcion, nivel)) {
    const auto posicion = punto(elemento, "AXPosition");
    const auto tamano = medidas(elemento, "AXSize");
    const auto habilitado = booleano(elemento, "AXEnabled");
    const auto enfocado = booleano(elemento, "AXFocused");

    Json nodo = {{"nivel", nivel}, {"rol", rol.value_or("")}, {"acciones", acciones(elemento)}};
    if (titulo) nodo["titulo"] = *titulo;
    if (valor) nodo["valor"] = cortarValor(*valor);
    if (descripcion) nodo["descripcion"] = *descripcion;
    if (ayuda) nodo["ayuda"] = *ayuda;
    if (subrol) nodo["subrol"] = *subrol;
    if (habilitado) nodo["habilitado"] = *habilitado;
    if (enfocado == true) nodo["enfocado"] = true;
    if (posicion) {
      ponerRedondeado(nodo, "x", posicion->x);
      ponerRedondeado(nodo, "y", posicion->y);
    }
    if (tamano) {
      ponerRedondeado(nodo, "ancho", tamano->ancho);
      ponerRedondeado(nodo, "alto", tamano->alto);
    }
    if (posicion && tamano && tamano->ancho > 0 && tamano->alto > 0) {
      ponerRedondeado(nodo, "cx", posicion->x + tamano->ancho * 0.5);
      ponerRedondeado(nodo, "cy", posicion->y + tamano->alto * 0.5);
    }
    hacia.push_back(std::move(nodo));
  }

  // Accessibility trees can loop back on themselves; no real interface nests this deep, and
  // the bound keeps a huge --depth from exhausting the stack.
  if (profundidad <= 0 || nivel >= NIVEL_MAS_HONDO) return;
  auto hijos = elementosDe(elemento, "AXChildren");
  if (!hijos) return;
  for (auto& hijo : *hijos) {
    if (static_cast<int64_t>(hacia.size()) >= maximo) break;
    recorrer(*hijo, nivel + 1, profundidad - 1, maximo, hacia, vistos);
    // Let go once walked: a huge tree is never held whole.
    hijo.reset();
  }
}

}  // namespace

void recorrer(Elemento& elemento, int64_t nivel, int64_t profundidad, int64_t maximo, Json& hacia) {
  std::set<std::string> vistos;
  recorrer(elemento, nivel, profundidad, maximo, hacia, vistos);
}

int64_t enteroOPorDefecto(const Argumentos& args, const char* bandera, int64_t porDefecto) {
  auto valor = args.bandera(bandera);
  auto n = valor ? leerEntero64(*valor) : std::nullopt;
  return n.value_or(porDefecto);
}

Json comandoAxTree(const Argumentos& args, Escritorio& escritorio) {
  const auto app = args.bandera("--app");
  const int64_t profundidad = enteroOPorDefecto(args, "--depth", 6);
  const int64_t maximo = enteroOPorDefecto(args, "--max", 400);
  const Proceso p = proceso(escritorio.espacio(), app);
  auto elemento = escritorio.accesibilidad().aplicacion(p.pid);
  Json lista = Json::array();
  recorrer(*elemento, 0, profundidad, maximo, lista);
  const auto total = lista.size();
  return {{"ok", true},   {"app", p.nombre}, {"bundle", p.bundle},
          {"pid", p.pid}, {"total", total},  {"elementos", std::move(lista)}};
}

}  // namespace tildo
