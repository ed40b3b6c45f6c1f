#include "desktop/atspi/sesion.h"

#include "common/lineas.h"

namespace tildo {

using atspi::Llamada;
using atspi::REGISTRO;
using atspi::Reloj;

namespace atspi {

std::string identidadDe(const Objeto& o) {
  return o.bus + ' ' + o.ruta;
}

Kit kitDe(std::string_view nombre) {
  if (nombre == "gtk") return Kit::gtk;
  if (nombre == "GTK") return Kit::gtk4;
  if (nombre == "Qt") return Kit::qt;
  if (nombre == "Chromium") return Kit::chromium;
  return Kit::otro;
}

}  // namespace atspi

namespace {

const atspi::Objeto ESTADO_ACCESIBILIDAD{"org.a11y.Bus", "/org/a11y/bus"};
constexpr const char* ESTADO = "org.a11y.Status";

// Finds the accessibility bus where libatspi would (the environment, the root window, the
// session bus's launcher) and switches the toolkits' accessibility (IsEnabled) on when it is
// off: Qt 6 and Firefox expose their trees only then. The screen reader's switch is the
// user's: a desktop starts its screen reader when it is on. Both buses are greeted at once,
// and the session is asked about accessibility behind its greeting.
void abrirBus(SesionAtspi& s) {
  std::unique_ptr<atspi::Bus> sesion;
  if (auto d = variableDeEntorno("DBUS_SESSION_BUS_ADDRESS")) sesion = atspi::Bus::conectar(*d);
  Llamada activada;
  if (sesion) activada = sesion->propiedad(ESTADO_ACCESIBILIDAD, ESTADO, "IsEnabled");
  std::string direccion = variableDeEntorno("AT_SPI_BUS_ADDRESS").value_or("");
  if (direccion.empty()) direccion = s.sistema.direccionDeAccesibilidad();
  if (!direccion.empty()) s.bus = atspi::Bus::conectar(direccion);
  std::optional<bool> activa;
  if (sesion) {
    const auto limite = Reloj::now() + atspi::ESPERA_CORTA;
    if (activada.esperarHasta(limite)) activa = activada.booleano();
    if (activa == false) {
      auto a = sesion->fijar(ESTADO_ACCESIBILIDAD, ESTADO, "IsEnabled", true);
      if (a.esperarHasta(limite) && !a.fallida()) activa = true;
    }
  }
  if (direccion.empty() && sesion) {
    auto d = sesion->metodo(ESTADO_ACCESIBILIDAD, "org.a11y.Bus", "GetAddress");
    if (d.esperarHasta(Reloj::now() + atspi::ESPERA_CORTA * 4)) direccion = d.texto().value_or("");
    if (!direccion.empty()) s.bus = atspi::Bus::conectar(direccion);
  }
  if (s.bus && !s.bus->saludado()) s.bus.reset();
  // Without the session's word the bus answering is all there is to go by.
  s.encendida = s.bus && activa.value_or(true);
  if (s.bus) {
    atspi::Bus* bus = s.bus.get();
    SesionAtspi* sesionAtspi = &s;
    bus->alCallar = [bus, sesionAtspi](const std::string& nombre) {
      if (nombre == REGISTRO.bus) fallo("el registro de accesibilidad (AT-SPI) no responde");
      auto it = sesionAtspi->nombres.find(nombre);
      const std::string app = it != sesionAtspi->nombres.end() ? it->second : nombre;
      if (bus->agotada()) fallo("la app «" + app + "» no terminó de responder a tiempo");
      fallo("la app «" + app + "» no responde");
    };
  }
}

}  // namespace

atspi::Kit SesionAtspi::kitDeApp(const std::string& nombre) {
  auto it = kits.find(nombre);
  if (it != kits.end()) return it->second;
  auto kit = b().propiedad({nombre, atspi::RAIZ}, "org.a11y.atspi.Application", "ToolkitName");
  return kits[nombre] = atspi::kitDe(kit.texto().value_or(""));
}

std::shared_ptr<SesionAtspi> sesionDe(SistemaDeVentanas& sistema) {
  static std::weak_ptr<SesionAtspi> viva;
  if (auto s = viva.lock()) return s;
  auto s = std::make_shared<SesionAtspi>(sistema);
  abrirBus(*s);
  viva = s;
  return s;
}

}  // namespace tildo
