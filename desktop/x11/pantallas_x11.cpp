#include "desktop/x11/pantallas_x11.h"

#include <X11/Xutil.h>

#include <algorithm>

#include "desktop/linux/sistema.h"
#include "desktop/x11/monitores_x11.h"

namespace tildo {
namespace {

Rect interseccion(const Rect& a, const Rect& b) {
  const double x1 = std::max(a.x, b.x), y1 = std::max(a.y, b.y);
  const double x2 = std::min(a.x + a.ancho, b.x + b.ancho),
               y2 = std::min(a.y + a.alto, b.y + b.alto);
  if (x2 <= x1 || y2 <= y1) return {x1, y1, 0, 0};
  return {x1, y1, x2 - x1, y2 - y1};
}

// What the work area leaves of a monitor; a work area that leaves nothing of it is not
// believed, as no screen is without a usable part.
Rect visibleDe(const Rect& monitor, const std::optional<Rect>& area) {
  if (!area) return monitor;
  const Rect r = interseccion(monitor, *area);
  return r.ancho > 0 && r.alto > 0 ? r : monitor;
}

}  // namespace

PantallasX11::PantallasX11(ConexionX11& conexion, ServidorVentanas& servidor,
                           std::function<std::optional<std::string>(int32_t)> nombreDe)
    : conexion_(conexion), servidor_(servidor), nombreDe_(std::move(nombreDe)) {}

const std::vector<Rect>& PantallasX11::monitores() {
  if (monitores_) return *monitores_;
  Display* d = conexion_.pantalla();
  monitores_ = monitoresX11(conexion_.xcb(), DefaultRootWindow(d));
  // Without XRandR the root window is the one display.
  if (monitores_->empty())
    monitores_->push_back({0, 0, double(DisplayWidth(d, DefaultScreen(d))),
                           double(DisplayHeight(d, DefaultScreen(d)))});
  return *monitores_;
}

Rect PantallasX11::haciaAbajoIzquierda(const Rect& r) {
  const Rect& p = monitores().front();
  return {r.x - p.x, (p.y + p.alto) - (r.y + r.alto), r.ancho, r.alto};
}

Rect PantallasX11::limitesPrincipal() {
  const Rect& p = monitores().front();
  return {0, 0, p.ancho, p.alto};
}

// X has no separate point and pixel sizes: one point is one pixel.
int64_t PantallasX11::pixelesAncho() {
  return static_cast<int64_t>(monitores().front().ancho);
}

int64_t PantallasX11::pixelesAlto() {
  return static_cast<int64_t>(monitores().front().alto);
}

std::vector<Pantalla> PantallasX11::pantallas() {
  const auto area = servidor_.areaDeTrabajo();
  std::vector<Pantalla> lista;
  for (const Rect& m : monitores()) {
    lista.push_back({haciaAbajoIzquierda(m), haciaAbajoIzquierda(visibleDe(m, area))});
  }
  return lista;
}

std::optional<Pantalla> PantallasX11::principal() {
  const Rect& m = monitores().front();
  return Pantalla{haciaAbajoIzquierda(m),
                  haciaAbajoIzquierda(visibleDe(m, servidor_.areaDeTrabajo()))};
}

Punto PantallasX11::puntero() {
  Display* d = conexion_.pantalla();
  Window raiz, hijo;
  int x = 0, y = 0, xv = 0, yv = 0;
  unsigned mascara = 0;
  XQueryPointer(d, DefaultRootWindow(d), &raiz, &hijo, &x, &y, &xv, &yv, &mascara);
  const Rect& p = monitores().front();
  return {x - p.x, (p.y + p.alto) - y};
}

std::optional<std::vector<DatosVentana>> PantallasX11::listaVentanas() {
  auto clientes = servidor_.clientes();
  if (!clientes) return std::nullopt;
  std::vector<DatosVentana> lista;
  for (Window w : *clientes) {
    if (!servidor_.enPantalla(w)) continue;
    auto capa = servidor_.capaDe(w);
    if (!capa) continue;
    DatosVentana v;
    v.numero = static_cast<int64_t>(w);
    v.capa = capa;
    if (auto pid = servidor_.pidDe(w)) {
      v.pid = *pid;
      v.dueno = nombreDe_(*pid);
    }
    v.nombre = servidor_.tituloDe(w);
    v.limites = servidor_.marcoDe(w);
    lista.push_back(std::move(v));
  }
  return lista;
}

std::string PantallasX11::versionSistema() {
  return versionDelSistema();
}

bool PantallasX11::capturaPermitida() {
  Display* d = conexion_.pantalla();
  XImage* imagen = XGetImage(d, DefaultRootWindow(d), 0, 0, 1, 1, AllPlanes, ZPixmap);
  if (!imagen) return false;
  XDestroyImage(imagen);
  return true;
}

}  // namespace tildo
