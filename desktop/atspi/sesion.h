#pragma once
// What every element of one run shares: the accessibility bus, the display and the window
// source; and the bus names and interfaces the backend's files speak to.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "common/fallo.h"
#include "desktop/atspi/bus.h"
#include "desktop/fuente_ventanas.h"
#include "desktop/x11/conexion.h"

namespace tildo {

class ServidorVentanas;

namespace atspi {

// What may be asked of an application, and how its answers are read, depends on its toolkit:
// GTK 3 (through ATK), GTK 4, Qt, Chromium and the applications built on it.
enum class Kit { gtk, gtk4, qt, chromium, otro };

Kit kitDe(std::string_view nombre);

constexpr const char* ACCESIBLE = "org.a11y.atspi.Accessible";
constexpr const char* COMPONENTE = "org.a11y.atspi.Component";
constexpr const char* ACCION = "org.a11y.atspi.Action";
// The path of every application's own element.
constexpr const char* RAIZ = "/org/a11y/atspi/accessible/root";
inline const Objeto REGISTRO{"org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root"};

// An element's identity (Elemento::identidad): its bus name and path, which no other element
// shares.
std::string identidadDe(const Objeto& o);

}  // namespace atspi

// What every element of one run shares: the bus, the display and the window source.
struct SesionAtspi {
  ConexionX11& conexion;
  ServidorVentanas& servidor;
  FuenteDeVentanas* ventanas = nullptr;
  std::unique_ptr<atspi::Bus> bus;  // none: the session has no accessibility bus
  bool encendida = false;           // the session's accessibility is switched on
  // The name each application goes by in messages, by its bus name.
  std::map<std::string, std::string, std::less<>> nombres;
  // The toolkit of each application asked in this run, by its bus name.
  std::map<std::string, atspi::Kit, std::less<>> kits;
  // The root of each application the registry has listed in this run, by pid: a command that
  // looks an application up and then reads it asks the registry once.
  std::map<int32_t, atspi::Objeto> raices;

  SesionAtspi(ConexionX11& c, ServidorVentanas& s) : conexion(c), servidor(s) {}
  // Global points are measured from the primary monitor; AT-SPI speaks root-window pixels.
  Punto origen() { return conexion.origenPrincipal(); }
  // The toolkit of the application with that bus name, asked of it the first time.
  atspi::Kit kitDeApp(const std::string& bus);
  atspi::Bus& b() {
    if (!bus) fallo("no hay bus de accesibilidad (AT-SPI) en esta sesión");
    return *bus;
  }
};

// The session's bus, found and greeted on the first call of the run; later calls share it.
std::shared_ptr<SesionAtspi> sesionDe(ConexionX11& conexion, ServidorVentanas& servidor);

}  // namespace tildo
