#pragma once
// Windows as the X window manager keeps them (EWMH and ICCCM): the managed windows front to
// back, their owners, titles and the frames the user sees, activation, minimising and
// placing; and the window elements the accessibility port hands out for them.

#include <X11/Xlib.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "desktop/accesibilidad.h"
#include "desktop/fuente_ventanas.h"
#include "desktop/pantallas.h"
#include "desktop/x11/conexion.h"

namespace tildo {

// Layers of the window list, numbered as the platform numbers its window levels.
namespace capa {
constexpr int64_t NORMAL = 0;    // normal and dialog windows, and windows without a type
constexpr int64_t FLOTANTE = 3;  // utility windows, toolbars, torn-off menus, splash screens
constexpr int64_t DOCK = 20;     // docks and panels
constexpr int64_t AVISO = 25;    // notifications
constexpr int64_t MENU = 101;    // drop-down and pop-up menus, tooltips, combo lists
}  // namespace capa

class ServidorVentanas {
 public:
  explicit ServidorVentanas(ConexionX11& conexion);

  Display* pantalla() const { return d_; }
  // The managed windows, front to back; without a manager that lists them, the top-level
  // windows. Nothing when the server gives neither.
  std::optional<std::vector<Window>> clientes();
  // Mapped, and not hidden (minimised, shaded away or on another desktop).
  bool enPantalla(Window w);
  bool oculta(Window w);
  // The list's layer; nothing for the desktop itself, which the list leaves out.
  std::optional<int64_t> capaDe(Window w);
  bool esDialogo(Window w);
  std::optional<int32_t> pidDe(Window w);
  std::optional<std::string> tituloDe(Window w);
  // The frame the user sees (decorations included) in global points.
  std::optional<Rect> marcoDe(Window w);
  // What the client itself draws in, less the shadows it draws around itself, in global
  // points: where a toolkit that gives its elements' places relative to its window has its
  // window.
  std::optional<Rect> contenidoDe(Window w);
  Window activa();
  bool existe(Window w);

  // Activates and raises, as a pager asks it (source indication 2).
  void activar(Window w);
  // The topmost window of the process, on screen if it has one; 0 when it has none.
  Window principalDe(int32_t pid);
  bool minimizar(Window w);
  // Places the frame the user sees: its top-left corner at the point, its outer size.
  void colocar(Window w, std::optional<Punto> origen, std::optional<Medidas> medidas);
  // The work area of the current desktop, in root-window coordinates.
  std::optional<Rect> areaDeTrabajo();
  // The address the accessibility bus launcher publishes on the root window; empty when none.
  std::string direccionDeAccesibilidad();
  // The text of a property of 8-bit items as UTF-8, read by its type: STRING as Latin-1,
  // UTF8_STRING as UTF-8 (what is not becomes U+FFFD; `cortado`: the property goes on past the
  // bytes, and a character cut there is dropped), COMPOUND_TEXT as Xlib decodes it. Nothing for a
  // property of any other type. Every text property read from the server goes through here.
  std::optional<std::string> texto(Atom tipo, std::string_view bytes, bool cortado);

 private:
  struct Bordes {
    double izquierda = 0, derecha = 0, arriba = 0, abajo = 0;
  };
  // A property of four cardinals: left, right, top, bottom.
  Bordes bordes(Window w, int nombre);
  // What the client draws in, less its own shadows, in global points; and its border's width.
  std::optional<Rect> contenido(Window w, double& borde);
  // A property's 32-bit items when it has the type asked for; nothing otherwise.
  std::optional<std::vector<uint32_t>> lista(Window w, Atom nombre, Atom tipo, long largo);
  std::vector<uint32_t> propiedad(Window w, Atom nombre, Atom tipo, long largo = 1024);
  // A text property (AnyPropertyType: of whichever text type it is) as UTF-8, read up to a
  // bound.
  std::optional<std::string> cadena(Window w, Atom nombre, Atom tipo);
  std::vector<Atom> estado(Window w);
  bool soporta(Atom mensaje);
  void mensaje(Window w, Atom tipo, long a, long b = 0, long c = 0, long d = 0, long e = 0);

  ConexionX11& conexion_;
  Display* d_;
  Window raiz_;
  std::optional<std::vector<Atom>> soportados_;
};

// A managed window as an accessibility element: "AXRole" "AXWindow", "AXTitle",
// "AXPosition"/"AXSize" (the frame the user sees), "AXMinimized", "AXFocused"; sets those
// three and performs "AXRaise" through the window manager.
class VentanaX11 : public Elemento {
 public:
  VentanaX11(ServidorVentanas& servidor, Window ventana) : s_(servidor), w_(ventana) {}
  std::optional<Valor> atributo(std::string_view nombre) override;
  std::optional<std::vector<std::string>> acciones() override;
  int realizar(std::string_view accion) override;
  int fijar(std::string_view nombre, const Valor& valor) override;
  Window ventana() const { return w_; }

 private:
  ServidorVentanas& s_;
  Window w_;
};

// An application's windows by their _NET_WM_PID.
class VentanasDeAplicacion : public FuenteDeVentanas {
 public:
  explicit VentanasDeAplicacion(ServidorVentanas& servidor) : s_(servidor) {}
  std::vector<ElementoRef> ventanas(int32_t pid) override;
  ElementoRef principal(int32_t pid) override;
  ElementoRef enfocada(int32_t pid) override;
  bool activar(int32_t pid) override;

 private:
  ServidorVentanas& s_;
};

// The process's own name, as its toolkit names the application: the base name of the
// program it runs.
std::optional<std::string> nombreDeProceso(int32_t pid);

}  // namespace tildo
