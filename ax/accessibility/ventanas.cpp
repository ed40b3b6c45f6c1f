#include "ax/accessibility/ventanas.h"

#include <cmath>

#include "ax/accessibility/lectores.h"
#include "common/fallo.h"
#include "common/numeros.h"
#include "common/texto.h"

namespace tildo {
namespace {

// Sets the key only when the value has an integer form, so a reply is always produced.
template <typename Convertir>
void ponerEntero(Json& destino, const char* clave, double valor, Convertir convertir) {
  if (auto n = convertir(valor)) destino[clave] = *n;
}

std::string tituloDe(Elemento& ventana) {
  return texto(ventana, "AXTitle").value_or("");
}

bool tituloContiene(Elemento& ventana, const std::string& buscado) {
  return minusculas(tituloDe(ventana)).find(minusculas(buscado)) != std::string::npos;
}

std::vector<ElementoRef> ventanasDeLaApp(Elemento& app) {
  auto valor = app.atributo("AXWindows");
  if (!valor) return {};
  auto lista = std::get_if<std::vector<ElementoRef>>(&*valor);
  if (!lista) return {};
  std::vector<ElementoRef> ventanas;
  for (const auto& v : *lista)
    if (v) ventanas.push_back(v);
  return ventanas;
}

// Size first, then position: a window grown at its old place could cross a screen edge the
// new place keeps it clear of.
void aplicar(Elemento& ventana, double ancho, double alto, double x, double y) {
  ventana.fijar("AXSize", Medidas{ancho, alto});
  ventana.fijar("AXPosition", Punto{x, y});
}

}  // namespace

Json ventanas(Pantallas& pantallas) {
  auto lista = pantallas.listaVentanas();
  if (!lista) fallo("no pude leer la lista de ventanas");
  Json entradas = Json::array();
  for (const auto& v : *lista) {
    if (v.capa && *v.capa != 0) continue;
    Json marco = Json::object();
    if (v.limites) {
      ponerEntero(marco, "x", v.limites->x, truncar);
      ponerEntero(marco, "y", v.limites->y, truncar);
      ponerEntero(marco, "ancho", v.limites->ancho, truncar);
      ponerEntero(marco, "alto", v.limites->alto, truncar);
    }
    entradas.push_back({{"id", v.numero.value_or(0)},
                        {"app", v.dueno.value_or("?")},
                        {"titulo", v.nombre.value_or("")},
                        {"pid", v.pid.value_or(0)},
                        {"marco", marco}});
  }
  return {{"ok", true}, {"ventanas", entradas}};
}

Json enfocarVentana(Espacio& espacio, Accesibilidad& accesibilidad, Entrada& entrada, int64_t pid,
                    const std::optional<std::string>& titulo) {
  const auto noEncontrado = [&] { fallo("no encontré el proceso " + std::to_string(pid)); };
  // A pid is 32 bits: a wider number names no process.
  if (pid < INT32_MIN || pid > INT32_MAX) noEncontrado();
  auto app = espacio.porPid(static_cast<int32_t>(pid));
  if (!app) noEncontrado();
  espacio.activar(app->pid);
  entrada.pausa(250000);
  if (auto elemento = accesibilidad.aplicacion(app->pid)) {
    for (const auto& v : ventanasDeLaApp(*elemento)) {
      if (titulo && !tituloContiene(*v, *titulo)) continue;
      v->realizar("AXRaise");
      break;
    }
  }
  return {{"ok", true}, {"enfocada", app->nombre.value_or("?")}};
}

ElementoRef ventanaDe(Accesibilidad& accesibilidad, int32_t pid,
                      const std::optional<std::string>& titulo, std::optional<int64_t> indice) {
  auto app = accesibilidad.aplicacion(pid);
  if (!app) return nullptr;
  const auto lista = ventanasDeLaApp(*app);
  if (lista.empty()) return nullptr;
  if (indice && *indice >= 0 && *indice < static_cast<int64_t>(lista.size()))
    return lista[static_cast<size_t>(*indice)];
  if (titulo && !titulo->empty())
    for (const auto& v : lista)
      if (tituloContiene(*v, *titulo)) return v;
  if (auto principal = app->atributo("AXMainWindow"))
    if (auto e = std::get_if<ElementoRef>(&*principal); e && *e) return *e;
  for (const auto& v : lista)
    if (booleano(*v, "AXMinimized") != true) return v;
  return lista.front();
}

std::optional<Json> marcoDe(Elemento& ventana) {
  auto p = punto(ventana, "AXPosition");
  auto m = medidas(ventana, "AXSize");
  if (!p || !m) return std::nullopt;
  Json marco = Json::object();
  ponerEntero(marco, "x", p->x, redondear);
  ponerEntero(marco, "y", p->y, redondear);
  ponerEntero(marco, "ancho", m->ancho, redondear);
  ponerEntero(marco, "alto", m->alto, redondear);
  return marco;
}

Json colocarVentana(Accesibilidad& accesibilidad, Entrada& entrada, int32_t pid,
                    const std::optional<std::string>& titulo, std::optional<int64_t> indice,
                    const Json& marco) {
  const auto numero = [&](const char* clave) {
    auto it = marco.find(clave);
    if (it == marco.end() || !it->is_number()) fallo("colocar necesita x, y, ancho y alto");
    return it->get<double>();
  };
  const double x = numero("x"), y = numero("y"), ancho = numero("ancho"), alto = numero("alto");
  auto ventana = ventanaDe(accesibilidad, pid, titulo, indice);
  if (!ventana) fallo("no encontré ventana de esa app");
  ventana->fijar("AXMinimized", false);
  // Window managers may clamp or animate a first move; the repeats let it settle.
  aplicar(*ventana, ancho, alto, x, y);
  entrada.pausa(80000);
  aplicar(*ventana, ancho, alto, x, y);
  entrada.pausa(120000);
  aplicar(*ventana, ancho, alto, x, y);
  Json real = marcoDe(*ventana).value_or(Json::object());
  ventana->realizar("AXRaise");
  return {{"ok", true},
          {"pedido", marco},
          {"real", real},
          {"pid", pid},
          {"titulo", tituloDe(*ventana)}};
}

Json minimizarVentana(Accesibilidad& accesibilidad, int32_t pid,
                      const std::optional<std::string>& titulo, std::optional<int64_t> indice) {
  auto ventana = ventanaDe(accesibilidad, pid, titulo, indice);
  if (!ventana) fallo("no encontré ventana de esa app");
  const bool hecho = ventana->fijar("AXMinimized", true) == AX_EXITO;
  return {{"ok", hecho}, {"minimizada", tituloDe(*ventana)}};
}

Json areaDeTrabajo(Pantallas& pantallas) {
  const auto principal = pantallas.principal();
  const Rect v = principal ? principal->visible : Rect{};
  const auto lista = pantallas.pantallas();
  const double h = lista.empty() ? v.alto : lista.front().marco.alto;
  Json area = {{"ok", true}};
  ponerEntero(area, "x", v.x, truncar);
  ponerEntero(area, "y", h - (v.y + v.alto), truncar);
  ponerEntero(area, "ancho", v.ancho, truncar);
  ponerEntero(area, "alto", v.alto, truncar);
  return area;
}

Json comandoWindows(const Argumentos&, Escritorio& escritorio) {
  return ventanas(escritorio.pantallas());
}

Json comandoWorkArea(const Argumentos&, Escritorio& escritorio) {
  return areaDeTrabajo(escritorio.pantallas());
}

}  // namespace tildo
