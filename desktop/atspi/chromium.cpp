#include "desktop/atspi/chromium.h"

#include <chrono>
#include <thread>
#include <vector>

#include "desktop/atspi/sesion.h"

namespace tildo::atspi {

namespace {

// How long the content may take to come once asked for; measured, it comes within half a
// second on a loaded machine.
constexpr auto ESPERA_CONTENIDO = std::chrono::milliseconds(1500);

// Whether any of the application's windows has a child. A sleeping Chromium gives each window
// one child, the null reference.
bool conContenido(Bus& bus, const Objeto& app) {
  const auto ventanas = bus.metodo(app, ACCESIBLE, "GetChildren").objetos();
  std::vector<Llamada> hijos;
  for (const auto& v : ventanas.value_or(std::vector<Objeto>{}))
    hijos.push_back(bus.metodo(v, ACCESIBLE, "GetChildren"));
  for (auto& h : hijos)
    for (const auto& o : h.objetos().value_or(std::vector<Objeto>{}))
      if (o.ruta != "/org/a11y/atspi/null") return true;
  return false;
}

}  // namespace

bool despertarChromium(SesionAtspi& s, const Objeto& app) {
  Bus& bus = s.b();
  if (conContenido(bus, app)) return false;
  // Chromium takes a request for an element's attributes, which every screen reader makes
  // as it starts reading, as the sign that one is there, and builds its tree, the page's
  // included. The attributes themselves are not needed.
  bus.metodo(app, ACCESIBLE, "GetAttributes").esperarHasta(Reloj::now() + SILENCIO);
  const auto fin = Reloj::now() + ESPERA_CONTENIDO;
  while (Reloj::now() < fin) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    if (conContenido(bus, app)) return true;
  }
  auto it = s.nombres.find(app.bus);
  const std::string nombre = it != s.nombres.end() ? it->second : app.bus;
  fallo("la app «" + nombre +
        "» no muestra a la accesibilidad el contenido de sus ventanas: ciérrala y ábrela de "
        "nuevo con la opción --force-renderer-accessibility");
}

}  // namespace tildo::atspi
