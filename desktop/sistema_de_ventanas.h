#pragma once
// What the accessibility backend asks of the window system it runs beside: where the
// accessibility bus is published, which process is in front, which processes own windows, and
// where the places toolkits give for their elements are measured from. X draws every window on
// one root, and toolkits there give places on it; on Wayland no client knows where its windows
// are, and toolkits give places in their own window.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "desktop/accesibilidad.h"

namespace tildo {

// The processes that own windows, front to back, and the bundle identifier of each: the
// reverse-DNS application id one of its windows carries, else the class or app id of its
// windows.
struct DuenosDeVentanas {
  std::vector<int32_t> pids;
  std::map<int32_t, std::string> bundles;
};

inline std::optional<std::string> bundleEn(const DuenosDeVentanas& duenos, int32_t pid) {
  auto it = duenos.bundles.find(pid);
  if (it == duenos.bundles.end()) return std::nullopt;
  return it->second;
}

class SistemaDeVentanas {
 public:
  virtual ~SistemaDeVentanas() = default;
  // The address of the accessibility bus the display publishes; empty when it publishes none.
  virtual std::string direccionDeAccesibilidad() = 0;
  // The owner of the active window.
  virtual std::optional<int32_t> pidActivo() = 0;
  // Whether the global point lies on one of the process's windows on screen.
  virtual bool tieneVentanaEn(int32_t pid, Punto global) = 0;
  virtual DuenosDeVentanas duenos() = 0;
  // Where the global origin lies in the places toolkits give on the screen; nothing where they
  // give them in their own window.
  virtual std::optional<Punto> origenDePantalla() = 0;
  // Where the global origin lies in the places the toolkit of one of the process's windows
  // gives: the window with that title, else the one whose content has that size (the size of
  // the frame the toolkit gives), else the process's only window. Nothing when the window system
  // tells no such window's place.
  virtual std::optional<Punto> origenEnVentana(int32_t pid, const std::string& titulo,
                                               Medidas contenido) = 0;
};

}  // namespace tildo
