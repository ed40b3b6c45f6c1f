#include "ax/accessibility/ventanas.h"

#include "ax/accessibility/lectores.h"
#include "common/fallo.h"
#include "common/numeros.h"
#include "common/texto.h"

namespace tildo {
namespace {

std::string tituloDe(Elemento& ventana) {
  return texto(ventana, "AXTitle").value_or("");
}

bool tituloContiene(Elemento& ventana, const std::string& buscado) {
  return minusculas(tituloDe(ventana)).find(minusculas(buscado)) != std::string::npos;
}

std::vector<ElementoRef> ventanasDeLaApp(Elemento& app) {
  return elementosDe(app, "AXWindows").value_or(std::vector<ElementoRef>{});
}

// Size first, then position: a window grown at its old place could cross a screen edge the
// new place keeps it clear of.
void aplicar(Elemento& ventana, double ancho, double alto, double x, double y) {
  ventana.fijar("AXSize", Medidas{ancho, alto});
  ventana.fijar("AXPosition", Punto{x, y});
}

std::optional<std::string> titulo(const Argumentos& args) {
  return args.bandera("--titulo");
}

std::optional<int64_t> indice(const Argumentos& args) {
  auto valor = args.bandera("--indice");
  return valor ? leerEntero64(*valor) : std::nullopt;
}

int32_t pid32(const Argumentos& args, const std::string& comando) {
  auto valor = args.bandera("--pid");
  auto pid = valor ? leerEntero32(*valor) : std::nullopt;
  if (!pid) fallo(comando + " necesita --pid");
  return *pid;
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
      ponerTruncado(marco, "x", v.limites->x);
      ponerTruncado(marco, "y", v.limites->y);
      ponerTruncado(marco, "ancho", v.limites->ancho);
      ponerTruncado(marco, "alto", v.limites->alto);
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
  if (auto principal = elementoDe(*app, "AXMainWindow")) return principal;
  for (const auto& v : lista)
    if (booleano(*v, "AXMinimized") != true) return v;
  return lista.front();
}

std::optional<Json> marcoDe(Elemento& ventana) {
  auto p = punto(ventana, "AXPosition");
  auto m = medidas(ventana, "AXSize");
  if (!p || !m) return std::nullopt;
  Json marco = Json::object();
  ponerRedondeado(marco, "x", p->x);
  ponerRedondeado(marco, "y", p->y);
  ponerRedondeado(marco, "ancho", m->ancho);
  ponerRedondeado(marco, "alto", m->alto);
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
  ponerTruncado(area, "x", v.x);
  ponerTruncado(area, "y", h - (v.y + v.alto));
  ponerTruncado(area, "ancho", v.ancho);
  ponerTruncado(area, "alto", v.alto);
  return area;
}

Json comandoWindows(const Argumentos&, Escritorio& escritorio) {
  return ventanas(escritorio.pantallas());
}

Json comandoWorkArea(const Argumentos&, Escritorio& escritorio) {
  return areaDeTrabajo(escritorio.pantallas());
}

Json comandoPlace(const Argumentos& args, Escritorio& escritorio) {
  const int32_t pid = pid32(args, "place");
  Json marco = Json::object();
  for (const char* clave : {"x", "y", "ancho", "alto"}) {
    const std::string flag = std::string("--") + clave;
    auto valor = args.bandera(flag);
    // Like every coordinate the program posts, nan and infinities are not numbers here.
    auto numero = valor ? leerFinito(*valor) : std::nullopt;
    if (!numero) fallo("place necesita " + flag);
    marco[clave] = *numero;
  }
  return colocarVentana(escritorio.accesibilidad(), escritorio.entrada(), pid, titulo(args),
                        indice(args), marco);
}

Json comandoMinimize(const Argumentos& args, Escritorio& escritorio) {
  const int32_t pid = pid32(args, "minimize");
  return minimizarVentana(escritorio.accesibilidad(), pid, titulo(args), indice(args));
}

Json comandoFocus(const Argumentos& args, Escritorio& escritorio) {
  auto valor = args.bandera("--pid");
  auto pid = valor ? leerEntero64(*valor) : std::nullopt;
  if (!pid) fallo("focus necesita --pid");
  return enfocarVentana(escritorio.espacio(), escritorio.accesibilidad(), escritorio.entrada(),
                        *pid, titulo(args));
}

}  // namespace tildo
