// The element at a point (hit-testing), asked of the frames that are showing.

#include <algorithm>
#include <cmath>

#include "desktop/atspi/accesibilidad_atspi.h"
#include "desktop/atspi/elemento_atspi.h"
#include "desktop/atspi/marcos.h"
#include "desktop/atspi/registro.h"
#include "desktop/atspi/roles.h"
#include "desktop/atspi/sesion.h"

namespace tildo {

using atspi::ACCESIBLE;
using atspi::activasPrimero;
using atspi::AppAtspi;
using atspi::appsDelRegistro;
using atspi::bajoElPunto;
using atspi::COMPONENTE;
using atspi::conPartesDeAdorno;
using atspi::ElementoAtspi;
using atspi::Llamada;
using atspi::marcosDe;
using atspi::Objeto;
using atspi::Reloj;
using atspi::tieneEstado;

namespace {

// What a button or a check box holds (its label, its icon) is part of it, as the platform
// shows it: the element under a point is the control a few levels up that holds it, when
// there is one below the frame.
Objeto controlDe(atspi::Bus& bus, const Objeto& hallado, const Objeto& marco) {
  Objeto actual = hallado;
  for (int nivel = 0; nivel < 4 && !(actual == marco); ++nivel) {
    auto rol = bus.metodo(actual, ACCESIBLE, "GetRole");
    auto padre = bus.propiedad(actual, ACCESIBLE, "Parent");
    if (conPartesDeAdorno(static_cast<AtspiRole>(rol.natural().value_or(ATSPI_ROLE_INVALID))))
      return actual;
    auto p = padre.objeto();
    if (!p || p->ruta == "/org/a11y/atspi/null") break;
    actual = *p;
  }
  return hallado;
}

}  // namespace

ElementoRef AccesibilidadAtspi::elementoEn(float x, float y) {
  atspi::Bus& bus = s_->b();
  if (!(std::fabs(x) < 2e9 && std::fabs(y) < 2e9)) return nullptr;

  auto apps = appsDelRegistro(*s_, std::nullopt);
  const auto frente = s_->sistema.pidActivo();
  std::stable_partition(apps.begin(), apps.end(),
                        [&](const AppAtspi& a) { return frente && a.pid == *frente; });
  // Every application is asked at once; one that has not answered by the time its turn
  // comes waits until the others have been looked at.
  std::vector<Llamada> hijos;
  for (auto& app : apps) hijos.push_back(bus.metodo(app.raiz, ACCESIBLE, "GetChildren"));
  const auto corta = Reloj::now() + atspi::ESPERA_CORTA;

  auto buscarEn = [&](Llamada& lista) -> ElementoRef {
    auto marcos = marcosDe(bus, lista);
    activasPrimero(marcos);
    std::vector<Llamada> extensiones;
    for (auto& m : marcos)
      extensiones.push_back(
          bus.conEnteros(m.o, COMPONENTE, "GetExtents", {}, ATSPI_COORD_TYPE_SCREEN));
    for (size_t i = 0; i < marcos.size(); ++i) {
      const auto& m = marcos[i];
      if (!tieneEstado(m.estados, ATSPI_STATE_SHOWING) ||
          tieneEstado(m.estados, ATSPI_STATE_ICONIFIED))
        continue;
      // The point in the places this frame's toolkit gives.
      const auto o = s_->origenDeMarco(m.o);
      if (!o) continue;
      const double px = x + o->x, py = y + o->y;
      const int32_t sx = static_cast<int32_t>(std::floor(px)),
                    sy = static_cast<int32_t>(std::floor(py));
      auto r = extensiones[i].extension();
      if (!r || px < r->x || py < r->y || px >= double(r->x) + r->ancho ||
          py >= double(r->y) + r->alto)
        continue;
      // Each container names its child under the point; the deepest one is the element. GTK 4
      // names only widgets some client has read already: there the children's extents decide.
      const bool porExtensiones = s_->kitDeApp(m.o.bus) == atspi::Kit::gtk4;
      Objeto actual = porExtensiones ? bajoElPunto(bus, m.o, {px, py}) : m.o;
      for (int nivel = 0; nivel < 64 && !porExtensiones; ++nivel) {
        auto hijo = bus.conEnteros(actual, COMPONENTE, "GetAccessibleAtPoint", {sx, sy},
                                   ATSPI_COORD_TYPE_SCREEN)
                        .objeto();
        if (!hijo || hijo->ruta == "/org/a11y/atspi/null" || *hijo == actual) break;
        actual = *hijo;
      }
      s_->enMarco(actual, m.o);
      // A layout element under the point gives way to the element a user sees holding it.
      auto e = std::make_shared<ElementoAtspi>(s_, controlDe(bus, actual, m.o));
      if (e->presencia(false) == atspi::Presencia::soloDisposicion) {
        auto padre = e->atributo("AXParent");
        if (auto* p = padre ? std::get_if<ElementoRef>(&*padre) : nullptr) return *p;
      }
      return e;
    }
    return nullptr;
  };

  std::vector<size_t> calladas;
  for (size_t i = 0; i < apps.size(); ++i) {
    if (!hijos[i].esperarHasta(corta)) {
      calladas.push_back(i);
      continue;
    }
    if (auto e = buscarEn(hijos[i])) return e;
  }
  for (size_t i : calladas) {
    if (hijos[i].esperarHasta(Reloj::now() + atspi::SILENCIO)) {
      if (auto e = buscarEn(hijos[i])) return e;
    } else if (s_->sistema.tieneVentanaEn(apps[i].pid, {x, y})) {
      fallo("la app «" + s_->nombres[apps[i].raiz.bus] + "» no responde");
    }
  }
  return nullptr;
}

}  // namespace tildo
