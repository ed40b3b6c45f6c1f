#pragma once
// What desktop tests share: they run inside tests/desktop/escritorio-virtual (DISPLAY and the
// buses set), start real applications, wait for their windows, read what they print, and run
// the built programs against the real desktop.

#include <gtest/gtest.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "../cli/en_marcha.h"
#include "../cli/programa.h"

namespace tildo::prueba {

using namespace std::chrono_literals;

// ASCII, accents, ß, the symbols that need dead keys or AltGr somewhere, emoji with skin-tone
// modifiers (and a joined one), and letters with combining accents.
inline const std::string TEXTO_DIFICIL =
    "Hola, mundo 0123456789! áéíóú àèìòù âêîôû äëïöü ÁÉÍÓÚ ñÑ çÇ ß / @ ~ ` ^ | { } [ ] \\ "
    "< > # $ % & * ( ) _ + = ' \" ; : ? € ¿¡ 👍🏽 👋🏿 🧑🏻‍💻 e\u0301 n\u0303 "
    "a\u0308";

// Polls a condition every `paso` until it holds or the time is up.
template <typename Condicion>
bool hasta(std::chrono::milliseconds limite, Condicion condicion,
           std::chrono::milliseconds paso = 20ms) {
  const auto fin = std::chrono::steady_clock::now() + limite;
  while (!condicion()) {
    if (std::chrono::steady_clock::now() >= fin) return false;
    std::this_thread::sleep_for(paso);
  }
  return true;
}

// A fresh directory under /tmp, removed with all it holds when the object goes.
class CarpetaTemporal {
 public:
  CarpetaTemporal();
  ~CarpetaTemporal();
  CarpetaTemporal(const CarpetaTemporal&) = delete;
  CarpetaTemporal& operator=(const CarpetaTemporal&) = delete;
  const std::filesystem::path& ruta() const { return ruta_; }
  std::filesystem::path operator/(const std::string& nombre) const { return ruta_ / nombre; }

 private:
  std::filesystem::path ruta_;
};

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
  CarpetaTemporal carpeta_;
  pid_t pid_ = -1;
  std::optional<int> estado_;
};

// The lines a program printed, each parsed as JSON (discarded when it is none).
std::vector<Json> lineasJson(const std::string& salida);
// Its first such line once it is there; null when none comes in time.
Json primeraLinea(const Aplicacion& app, std::chrono::milliseconds limite = 20s);
// The lines a helper program printed, once its last one is "listo"; fails the test otherwise.
std::vector<std::string> lineasHastaListo(const Aplicacion& app);

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

// An X server of the test's own (Xvfb with the arguments given), which it can take away; its
// display's name once it has started, empty when it did not.
class PantallaPropia {
 public:
  explicit PantallaPropia(const std::vector<std::string>& args = {});
  const std::string& nombre() const { return nombre_; }
  // Killed, so that its clients lose it as they would a crashed server.
  void quitar();

 private:
  Aplicacion xvfb_;
  std::string nombre_;
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
// tildo-ax on this desktop kept going, to be signalled, stopped or raced while it works.
EnMarcha axEnMarcha(const std::vector<std::string>& args);
// The processes a running program has started.
std::vector<pid_t> hijos(pid_t pid);
// Whether a process runs: one that ended but nobody has reaped yet is gone too.
bool vivo(pid_t pid);
// Checks that a run succeeded and wrote nothing on standard error.
void sinErrores(const Salida& s);
// tildo-ax's command `orden` at the centre of an element of its replies ("ax-at", "click").
Salida axEnCentro(const std::string& orden, const Json& elemento);
// tildo-ax's reply, asked again every `paso` until `basta` holds for it or the time is up (the
// last reply then): what an application shows comes up a while after it starts. No run may
// write on standard error.
Json axHasta(const std::vector<std::string>& args, const std::function<bool(const Json&)>& basta,
             std::chrono::milliseconds limite = 20s, std::chrono::milliseconds paso = 100ms);
// The first element of an ax-find, once there is one; an empty object otherwise.
Json primerHallado(const std::vector<std::string>& args, std::chrono::milliseconds limite = 10s);

// Runs a command line to its end and returns its exit status (setxkbmap and the like).
int sistema(const std::vector<std::string>& orden);

// A switch of the session's accessibility (org.a11y.Status: "IsEnabled", the toolkits';
// "ScreenReaderEnabled", the screen reader's), as the bus launcher says; nothing when it cannot
// be read.
std::optional<bool> interruptorDeAccesibilidad(const std::string& nombre);

// The screen reader's switch is the user's: held while a test drives an application, it fails
// the test when the switch is not as it was found.
class LectorIntacto {
 public:
  LectorIntacto() : antes_(interruptorDeAccesibilidad("ScreenReaderEnabled")) {}
  ~LectorIntacto() { EXPECT_EQ(interruptorDeAccesibilidad("ScreenReaderEnabled"), antes_); }

 private:
  std::optional<bool> antes_;
};

#ifdef CAPTURA
// Saves the screen as build/capturas/NOMBRE.png, for a person to look at.
inline void capturar(const std::string& nombre) {
  std::filesystem::create_directories(CARPETA_CAPTURAS);
  EXPECT_EQ(sistema({CAPTURA, std::string(CARPETA_CAPTURAS) + "/" + nombre + ".png"}), 0);
}
#endif

// Two monitors side by side: 640 x 800 at the root's origin, and the primary one, 640 x 700,
// at (640, 100) in the root window.
void principalALaDerecha();

}  // namespace tildo::prueba
