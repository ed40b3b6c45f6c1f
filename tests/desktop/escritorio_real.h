#pragma once
// What desktop tests share: they run inside tests/desktop/escritorio-virtual (DISPLAY and the
// buses set), start real applications, wait for their windows, read what they print, and run
// the built programs against the real desktop.

#include <sys/types.h>

#include <chrono>
#include <optional>
#include <string>
#include <vector>

#include "../cli/programa.h"

namespace tildo::prueba {

using namespace std::chrono_literals;

// ASCII, accents, ß, the symbols that need dead keys or AltGr somewhere, emoji with skin-tone
// modifiers (and a joined one), and letters with combining accents.
inline const std::string TEXTO_DIFICIL =
    "Hola, mundo 0123456789! áéíóú àèìòù âêîôû äëïöü ÁÉÍÓÚ ñÑ çÇ ß / @ ~ ` ^ | { } [ ] \\ "
    "< > # $ % & * ( ) _ + = ' \" ; : ? € ¿¡ 👍🏽 👋🏿 🧑🏻‍💻 e\u0301 n\u0303 "
    "a\u0308";

// A program started in the background (looked up in PATH, or the path given). Its standard
// output and error are collected in files; it is ended when the object goes.
class Aplicacion {
 public:
  explicit Aplicacion(const std::vector<std::string>& orden);
  ~Aplicacion();
  Aplicacion(const Aplicacion&) = delete;
  Aplicacion& operator=(const Aplicacion&) = delete;

  pid_t pid() const { return pid_; }
  // Waits for it to end; its exit status (128 + signal when killed), nothing on timeout.
  std::optional<int> esperarFin(std::chrono::milliseconds limite = 10s);
  // SIGTERM, then SIGKILL if it lingers.
  void terminar();
  std::string salida() const;   // standard output so far
  std::string errores() const;  // standard error so far

 private:
  pid_t pid_ = -1;
  std::optional<int> estado_;
  std::string carpeta_;
};

// A top-level window (from _NET_CLIENT_LIST) whose title is exactly the one given; 0 when none
// appears in time.
unsigned long esperarVentana(const std::string& titulo, std::chrono::milliseconds limite = 10s);
// Waits until the window manager reports the window as active (it then has the keyboard).
bool esperarFoco(unsigned long ventana, std::chrono::milliseconds limite = 5s);

// A zenity entry dialog with that title, up and holding the keyboard; fails the test otherwise.
// The dialog prints the entry's text and a line feed when it is accepted.
class DialogoEntrada {
 public:
  explicit DialogoEntrada(const std::string& titulo = "Entrada de prueba");
  Aplicacion& app() { return app_; }
  bool listo() const { return ventana_ != 0; }

 private:
  Aplicacion app_;
  unsigned long ventana_ = 0;
};

// The logging X client (cliente_registro.cpp) over the whole screen: it writes one line per
// pointer motion ("movimiento X Y ESTADO"), button press or release ("pulsado B X Y",
// "soltado B X Y", root coordinates) and keyboard mapping change ("mapa").
class ClienteRegistro {
 public:
  ClienteRegistro();
  ~ClienteRegistro();
  bool listo() const;
  // The lines that start with `tipo` (all with ""), once at least `minimo` are there or 3 s
  // have passed.
  std::vector<std::string> lineas(const std::string& tipo = "", size_t minimo = 0) const;
  // The press and release lines alone, waited for the same way.
  std::vector<std::string> botones(size_t minimo) const;

 private:
  std::string archivo_;
  Aplicacion app_;
};

// tildo-ax on this desktop: the simulated desktop is switched off.
Salida ax(const std::vector<std::string>& args, const std::string& entrada = "");

// Runs a command line to its end and returns its exit status (setxkbmap and the like).
int sistema(const std::vector<std::string>& orden);

// A switch of the session's accessibility (org.a11y.Status: "IsEnabled", the toolkits';
// "ScreenReaderEnabled", the screen reader's), as the bus launcher says; nothing when it cannot
// be read.
std::optional<bool> interruptorDeAccesibilidad(const std::string& nombre);

// Two monitors side by side: 640 x 800 at the root's origin, and the primary one, 640 x 700,
// at (640, 100) in the root window.
void principalALaDerecha();

}  // namespace tildo::prueba
