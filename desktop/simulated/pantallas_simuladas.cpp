#include "desktop/simulated/pantallas_simuladas.h"

#include "common/numeros.h"

namespace tildo {
namespace {

const Json NADA;

const Json& campo(const Json& objeto, const char* clave) {
  if (!objeto.is_object()) return NADA;
  auto it = objeto.find(clave);
  return it == objeto.end() ? NADA : *it;
}

std::optional<double> numero(const Json& objeto, const char* clave) {
  const Json& v = campo(objeto, clave);
  if (!v.is_number()) return std::nullopt;
  return v.get<double>();
}

std::optional<int64_t> entero(const Json& objeto, const char* clave) {
  const Json& v = campo(objeto, clave);
  if (!v.is_number_integer()) return std::nullopt;
  return v.get<int64_t>();
}

std::optional<std::string> cadena(const Json& objeto, const char* clave) {
  const Json& v = campo(objeto, clave);
  if (!v.is_string()) return std::nullopt;
  return v.get<std::string>();
}

std::optional<Rect> rectangulo(const Json& r) {
  auto x = numero(r, "x"), y = numero(r, "y"), ancho = numero(r, "ancho"), alto = numero(r, "alto");
  if (!x || !y || !ancho || !alto) return std::nullopt;
  return Rect{*x, *y, *ancho, *alto};
}

// The visible frame: given as such, or the frame less a menu bar along the top and a Dock
// along one side.
Rect visibleDe(const Json& pantalla, const Rect& marco) {
  if (auto v = rectangulo(campo(pantalla, "visible"))) return *v;
  Rect v = marco;
  v.alto -= numero(pantalla, "barra_menus").value_or(0);
  const Json& dock = campo(pantalla, "dock");
  const double grosor = numero(dock, "grosor").value_or(0);
  const std::string lado = cadena(dock, "lado").value_or("abajo");
  if (lado == "izquierda") {
    v.x += grosor;
    v.ancho -= grosor;
  } else if (lado == "derecha") {
    v.ancho -= grosor;
  } else {
    v.y += grosor;
    v.alto -= grosor;
  }
  return v;
}

// A window of an application as the window server lists it.
DatosVentana datosDe(const Json& app, const Json& ventana, int64_t orden) {
  DatosVentana d;
  d.numero = entero(ventana, "numero").value_or(orden);
  d.capa = entero(ventana, "capa").value_or(0);
  d.pid = entero(app, "pid");
  d.dueno = cadena(app, "nombre");
  d.nombre = cadena(ventana, "titulo");
  auto x = numero(campo(ventana, "posicion"), "x"), y = numero(campo(ventana, "posicion"), "y");
  auto ancho = numero(campo(ventana, "medidas"), "ancho"),
       alto = numero(campo(ventana, "medidas"), "alto");
  if (x && y && ancho && alto) d.limites = Rect{*x, *y, *ancho, *alto};
  return d;
}

DatosVentana datosExtra(const Json& v) {
  return {entero(v, "numero"), entero(v, "capa"),   entero(v, "pid"),
          cadena(v, "dueno"),  cadena(v, "nombre"), rectangulo(campo(v, "limites"))};
}

bool minimizada(const Json& ventana) {
  const Json& m = campo(ventana, "minimizado");
  return m.is_boolean() && m.get<bool>();
}

}  // namespace

Rect PantallasSimuladas::limitesPrincipal() {
  if (auto r = rectangulo(campo(campo(d_.datos(), "pantalla_principal"), "limites"))) return *r;
  const Json& lista = campo(d_.datos(), "pantallas");
  if (lista.is_array() && !lista.empty())
    if (auto r = rectangulo(campo(lista.front(), "marco"))) return {0, 0, r->ancho, r->alto};
  return {0, 0, 1440, 900};
}

// A description may give a width no integer holds: its pixels are then 0, not undefined.
int64_t PantallasSimuladas::pixelesAncho() {
  auto n = entero(campo(campo(d_.datos(), "pantalla_principal"), "pixeles"), "ancho");
  return n ? *n : truncar(limitesPrincipal().ancho).value_or(0);
}

int64_t PantallasSimuladas::pixelesAlto() {
  auto n = entero(campo(campo(d_.datos(), "pantalla_principal"), "pixeles"), "alto");
  return n ? *n : truncar(limitesPrincipal().alto).value_or(0);
}

std::vector<Pantalla> PantallasSimuladas::pantallas() {
  const Json& lista = campo(d_.datos(), "pantallas");
  if (!lista.is_array()) {
    const Rect l = limitesPrincipal();
    const Rect marco{0, 0, l.ancho, l.alto};
    return {{marco, marco}};
  }
  std::vector<Pantalla> resultado;
  for (const auto& p : lista)
    if (auto marco = rectangulo(campo(p, "marco")))
      resultado.push_back({*marco, visibleDe(p, *marco)});
  return resultado;
}

std::optional<Pantalla> PantallasSimuladas::principal() {
  const Json& activa = campo(d_.datos(), "pantalla_activa");
  if (activa.is_null() && d_.datos().contains("pantalla_activa")) return std::nullopt;
  const int64_t i = activa.is_number_integer() ? activa.get<int64_t>() : 0;
  const auto lista = pantallas();
  if (i < 0 || i >= static_cast<int64_t>(lista.size())) return std::nullopt;
  return lista[static_cast<size_t>(i)];
}

Punto PantallasSimuladas::puntero() {
  const Json& p = campo(d_.datos(), "puntero");
  const auto lista = pantallas();
  const double h = lista.empty() ? limitesPrincipal().alto : lista.front().marco.alto;
  // The description keeps the pointer as events place it, top-left origin; the screen
  // service reports it from the bottom-left of the first screen.
  return {numero(p, "x").value_or(0), h - numero(p, "y").value_or(0)};
}

std::optional<std::vector<DatosVentana>> PantallasSimuladas::listaVentanas() {
  const Json& legible = campo(d_.datos(), "lista_ventanas_legible");
  if (legible.is_boolean() && !legible.get<bool>()) return std::nullopt;
  std::vector<DatosVentana> lista;
  const Json& extra = campo(d_.datos(), "ventanas_extra");
  if (extra.is_array())
    for (const auto& v : extra) lista.push_back(datosExtra(v));

  // Windows are numbered by their place in the description, minimised ones included, so a
  // window keeps its number while it comes and goes.
  struct DeApp {
    const Json* app;
    const Json* ventana;
    int64_t orden;
  };
  std::vector<DeApp> delante, detras;
  const auto frente = entero(d_.datos(), "primer_plano");
  const Json& apps = campo(d_.datos(), "aplicaciones");
  int64_t orden = 0;
  if (apps.is_array()) {
    for (const auto& app : apps) {
      const Json& vs = campo(app, "ventanas");
      if (!vs.is_array()) continue;
      const bool alFrente = frente && entero(app, "pid") == frente;
      for (const auto& v : vs) {
        ++orden;
        if (minimizada(v)) continue;
        (alFrente ? delante : detras).push_back({&app, &v, orden});
      }
    }
  }
  for (const auto* grupo : {&delante, &detras})
    for (const auto& w : *grupo) lista.push_back(datosDe(*w.app, *w.ventana, w.orden));
  return lista;
}

std::string PantallasSimuladas::versionSistema() {
  return cadena(d_.datos(), "version_sistema").value_or("Escritorio simulado 1.0");
}

bool PantallasSimuladas::capturaPermitida() {
  const Json& p = campo(campo(d_.datos(), "permisos"), "pantalla");
  return !p.is_boolean() || p.get<bool>();
}

}  // namespace tildo
