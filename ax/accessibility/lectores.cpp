#include "ax/accessibility/lectores.h"

#include "common/numeros.h"
#include "common/texto.h"

namespace tildo {
namespace {

template <typename T>
std::optional<T> deClase(Elemento& elemento, std::string_view nombre) {
  auto valor = elemento.atributo(nombre);
  if (!valor) return std::nullopt;
  if (auto v = std::get_if<T>(&*valor)) return *v;
  return std::nullopt;
}

void ponerTexto(Json& destino, const char* clave, const std::optional<std::string>& valor) {
  if (valor) destino[clave] = *valor;
}

}  // namespace

std::optional<std::string> texto(Elemento& elemento, std::string_view nombre) {
  return textoDe(elemento.atributo(nombre));
}

std::optional<std::string> textoDe(const std::optional<Valor>& valor) {
  if (!valor) return std::nullopt;
  if (auto s = std::get_if<std::string>(&*valor)) {
    if (s->empty()) return std::nullopt;
    return *s;
  }
  if (auto n = std::get_if<int64_t>(&*valor)) return std::to_string(*n);
  if (auto d = std::get_if<double>(&*valor)) return textoDeNumero(*d);
  // The platform's booleans are numbers too, and print as 1 and 0.
  if (auto b = std::get_if<bool>(&*valor)) return std::string(*b ? "1" : "0");
  return std::nullopt;
}

std::optional<bool> booleano(Elemento& elemento, std::string_view nombre) {
  auto valor = elemento.atributo(nombre);
  if (!valor) return std::nullopt;
  if (auto b = std::get_if<bool>(&*valor)) return *b;
  if (auto n = std::get_if<int64_t>(&*valor)) {
    if (*n == 0 || *n == 1) return *n == 1;
  }
  if (auto d = std::get_if<double>(&*valor)) {
    if (*d == 0.0 || *d == 1.0) return *d == 1.0;
  }
  return std::nullopt;
}

std::optional<Punto> punto(Elemento& elemento, std::string_view nombre) {
  return deClase<Punto>(elemento, nombre);
}

std::optional<Medidas> medidas(Elemento& elemento, std::string_view nombre) {
  return deClase<Medidas>(elemento, nombre);
}

std::vector<std::string> acciones(Elemento& elemento) {
  return elemento.acciones().value_or(std::vector<std::string>{});
}

ElementoRef elementoDe(Elemento& elemento, std::string_view nombre) {
  return deClase<ElementoRef>(elemento, nombre).value_or(nullptr);
}

std::optional<std::vector<ElementoRef>> elementosDe(Elemento& elemento, std::string_view nombre) {
  auto lista = deClase<std::vector<ElementoRef>>(elemento, nombre);
  if (!lista) return std::nullopt;
  for (const auto& e : *lista)
    if (!e) return std::nullopt;
  return lista;
}

std::string cortarValor(std::string_view valor) {
  return primerosGrafemas(valor, LARGO_VALOR);
}

void ponerRedondeado(Json& destino, const char* clave, double valor) {
  if (auto n = redondear(valor)) destino[clave] = *n;
}

Json nodoSuelto(Elemento& elemento) {
  Json r = Json::object();
  r["rol"] = texto(elemento, "AXRole").value_or("");
  ponerTexto(r, "subrol", texto(elemento, "AXSubrole"));
  ponerTexto(r, "titulo", texto(elemento, "AXTitle"));
  if (auto v = texto(elemento, "AXValue")) r["valor"] = cortarValor(*v);
  ponerTexto(r, "descripcion", texto(elemento, "AXDescription"));
  ponerTexto(r, "ayuda", texto(elemento, "AXHelp"));
  ponerTexto(r, "pista", texto(elemento, "AXPlaceholderValue"));
  if (booleano(elemento, "AXFocused") == true) r["enfocado"] = true;
  if (auto h = booleano(elemento, "AXEnabled")) r["habilitado"] = *h;
  r["acciones"] = acciones(elemento);
  if (auto p = punto(elemento, "AXPosition")) {
    ponerRedondeado(r, "x", p->x);
    ponerRedondeado(r, "y", p->y);
    auto m = medidas(elemento, "AXSize");
    if (m && m->ancho > 0 && m->alto > 0) {
      ponerRedondeado(r, "ancho", m->ancho);
      ponerRedondeado(r, "alto", m->alto);
      ponerRedondeado(r, "cx", p->x + m->ancho * 0.5);
      ponerRedondeado(r, "cy", p->y + m->alto * 0.5);
    }
  }
  if (auto padre = elementoDe(elemento, "AXParent"))
    r["padre_rol"] = texto(*padre, "AXRole").value_or("");
  return r;
}

}  // namespace tildo
