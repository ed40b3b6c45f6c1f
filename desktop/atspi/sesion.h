#pragma once
// What every element of one run shares: the accessibility bus, the window system and the window
// source; and the bus names and interfaces the backend's files speak to.

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "common/fallo.h"
#include "desktop/atspi/bus.h"
#include "desktop/fuente_ventanas.h"
#include "desktop/sistema_de_ventanas.h"

namespace tildo {

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

// What every element of one run shares: the bus, the window system and the window source.
struct SesionAtspi {
  SistemaDeVentanas& sistema;
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

  // Where toolkits measure from their window: the frame each element read is in, and where the
  // global origin lies in each frame's places, by identity.
  std::map<std::string, atspi::Objeto, std::less<>> marcos;
  std::map<std::string, std::optional<Punto>, std::less<>> origenes;

  explicit SesionAtspi(SistemaDeVentanas& s) : sistema(s) {}
  // Where the global origin lies in the places the element's toolkit gives (AT-SPI's "screen"
  // coordinates): the screen's corner where toolkits give places on the screen, else its
  // frame's window's. Nothing when that window's place is not known.
  std::optional<Punto> origenDe(const atspi::Objeto& o);
  // The same for the frame itself (a child of its application).
  std::optional<Punto> origenDeMarco(const atspi::Objeto& marco);
  // What a walk tells, where toolkits measure from their window: the element is in that frame;
  // the children are in their parent's frame, or are frames themselves (an application's).
  void enMarco(const atspi::Objeto& o, const atspi::Objeto& marco);
  void hijosEnMarco(const atspi::Objeto& padre, const std::vector<atspi::Objeto>& hijos,
                    bool deAplicacion);
  // The toolkit of the application with that bus name, asked of it the first time.
  atspi::Kit kitDeApp(const std::string& bus);
  // Whether the element's toolkit gives its places in its own window: every toolkit on
  // Wayland, GTK 4 on X too.
  bool desdeSuVentana(const atspi::Objeto& o);
  atspi::Bus& b() {
    if (!bus) fallo("no hay bus de accesibilidad (AT-SPI) en esta sesión");
    return *bus;
  }
};

// The session's bus, found and greeted on the first call of the run; later calls share it.
std::shared_ptr<SesionAtspi> sesionDe(SistemaDeVentanas& sistema);

}  // namespace tildo
