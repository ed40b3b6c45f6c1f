#include "desktop/atspi/registro.h"

#include <climits>

#include "desktop/x11/ventanas_x11.h"

namespace tildo::atspi {

std::vector<AppAtspi> appsDelRegistro(SesionAtspi& s,
                                      std::optional<std::chrono::milliseconds> esperaNombres,
                                      bool* registro) {
  std::vector<AppAtspi> apps;
  if (registro) *registro = false;
  if (!s.bus) return apps;
  atspi::Bus& bus = *s.bus;
  auto hijos = bus.metodo(REGISTRO, ACCESIBLE, "GetChildren");
  if (!hijos.esperarHasta(Reloj::now() + atspi::SILENCIO)) return apps;
  if (registro) *registro = true;
  const auto objetos = hijos.objetos().value_or(std::vector<Objeto>{});
  const Objeto demonio{DBUS_SERVICE_DBUS, DBUS_PATH_DBUS};
  std::vector<Llamada> pids, nombres;
  for (const auto& o : objetos) {
    pids.push_back(bus.conTexto(demonio, DBUS_INTERFACE_DBUS, "GetConnectionUnixProcessID", o.bus));
    if (esperaNombres) nombres.push_back(bus.propiedad(o, ACCESIBLE, "Name"));
  }
  const auto limite = Reloj::now() + esperaNombres.value_or(std::chrono::milliseconds{0});
  for (size_t i = 0; i < objetos.size(); ++i) {
    const auto pid = pids[i].natural();
    if (!pid || *pid == 0 || *pid > INT32_MAX) continue;
    AppAtspi app{objetos[i], static_cast<int32_t>(*pid), std::nullopt, true};
    if (esperaNombres) {
      app.responde = nombres[i].esperarHasta(limite);
      if (app.responde) app.nombre = nombres[i].texto();
      if (app.nombre && app.nombre->empty()) app.nombre.reset();
    }
    s.raices.emplace(app.pid, app.raiz);
    auto& nombre = s.nombres[app.raiz.bus];
    if (app.nombre)
      nombre = *app.nombre;
    else if (nombre.empty())
      nombre = nombreDeProceso(app.pid).value_or(app.raiz.bus);
    apps.push_back(std::move(app));
  }
  return apps;
}
}  // namespace tildo::atspi
