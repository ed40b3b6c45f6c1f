#pragma once
// The input port on an X display, through XTest. Pointer events move the core pointer and
// press buttons 1 (left), 3 (right) and 2 (middle); scrolls click the wheel buttons 4 to 7;
// keys are found in the active keyboard group, and typed characters are bound for a while to
// spare keycodes (keycodes without keysyms), so that text arrives exactly as given whatever
// layouts are configured. A run that touches the keyboard holds it for the whole run (a selection
// on the display), so that two runs never bind keycodes over each other; while keycodes are
// lent, a note on the root window says what they were, for the next run to repair them if this
// one is killed. From the first button or key it holds, the run keeps a guardian that lets go of
// them, and repairs the keyboard, if the run dies without doing so.

#include <xcb/xcb.h>

#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "desktop/entrada.h"
#include "desktop/linux/guardia.h"
#include "desktop/linux/interrupcion.h"
#include "desktop/x11/conexion.h"
#include "desktop/x11/teclas_x11.h"

struct xcb_xkb_get_map_reply_t;
struct xcb_xkb_get_state_reply_t;

namespace tildo {

class EntradaX11 : public Entrada {
 public:
  // Events fail the command when the display cannot synthesise input (no XTest or XKB). The
  // guardian's own input keeps no guardian.
  explicit EntradaX11(ConexionX11& conexion, bool conGuardia = true);
  // Releases held buttons and keys and restores the keyboard mapping if something is still
  // bound.
  ~EntradaX11() override;
  EntradaX11(const EntradaX11&) = delete;
  EntradaX11& operator=(const EntradaX11&) = delete;

  void raton(int tipo, Punto punto, int boton) override;
  void rueda(int32_t rueda1, int32_t rueda2) override;
  void tecla(uint16_t codigo, bool abajo, std::optional<uint64_t> banderas,
             const std::u16string& texto) override;
  void pausa(uint32_t microsegundos) override;
  void prepararTexto(const std::vector<std::u16string>& caracteres) override;
  void terminarTexto() override;

  // In the guardian of a run that died: releases what the run held and repairs the keyboard as
  // the next run that takes it would.
  static void deshacer(const Retenido& retenido);

 private:
  // The connection, opened on first use; each kind of event first asks for what it needs,
  // every question sent before the first answer is awaited. The pointer needs XTest and the
  // primary monitor's origin; the keyboard XTest, XKB and the keyboard itself.
  xcb_connection_t* conectada();
  xcb_connection_t* puntero();
  // The keyboard description, read on first use of the keyboard once this run holds it and
  // has repaired what a killed run left bound.
  const x11::TecladoXkb& teclado();
  // Waits for the keyboard to be free and takes it, reading it in the same wait (lectura_).
  void tomarTeclado();
  // Makes the keyboard of what was read, and undoes what the note of a run that ended without
  // giving the keyboard back says it changed.
  void leerTeclado();
  void repararPrestamo(const x11::Prestamo& nota, const std::vector<uint8_t>& abajo);
  // Writes the note of what this run has changed, before the change reaches the server.
  void anotarPrestamo();
  // A keycode that gives the keysym at level 1 of the active group; 0 when none does.
  unsigned keycodeEnGrupo(uint32_t keysym);
  // The keycode bound to the keysym, binding it (and what the text needs next) if it is not.
  unsigned ligada(uint32_t keysym);
  // Binds the keysym and the distinct ones of the text from `desde` on, as many as fit.
  void ligar(uint32_t necesaria, size_t desde);
  // Puts the spare keycodes back as they were. Never fails: it runs on the way out.
  void restaurar();
  // Writes the keycodes' new entries in one request over the block they span: the keycodes in
  // between, and those of them someone else has redefined since this run last wrote or read them,
  // keep what the server has (x11::fundir). Gives the ones so left out; nothing when the server
  // refused the request.
  std::optional<std::vector<unsigned>> escribir(const std::map<unsigned, x11::TeclaXkb>& cambios);
  void bloquearMayusculas(bool fijas);
  void soltarPulsadas();
  void esperarAQueLeanElMapa();
  void pulsar(unsigned keycode, bool abajo);
  void pulsarBoton(uint8_t boton, bool abajo);
  // Before the first button or key is held: the signals are caught, and the guardian started.
  void retener();
  std::vector<unsigned> modificadores(uint64_t banderas);

  ConexionX11& conexion_;
  xcb_connection_t* c_ = nullptr;
  bool punteroListo_ = false;
  Punto origen_;
  // Caught once something is held: the signals end the command through its failure path.
  std::optional<Interrupcion> interrupcion_;
  const bool conGuardia_;
  std::optional<Guardia> guardia_;
  std::vector<uint8_t> botones_;     // buttons held down
  xcb_atom_t seleccion_ = XCB_NONE;  // the keyboard's selection
  xcb_atom_t nota_ = XCB_NONE;       // the note's property
  bool anotado_ = false;             // the note is on the root window
  std::vector<unsigned> pulsadas_;   // keycodes held down, in the order pressed

  template <typename T>
  using Respuesta = std::unique_ptr<T, void (*)(void*)>;
  struct Lectura {
    Respuesta<xcb_xkb_get_map_reply_t> mapa{nullptr, std::free};
    Respuesta<xcb_xkb_get_state_reply_t> estado{nullptr, std::free};
    Respuesta<xcb_get_property_reply_t> nota{nullptr, std::free};
    Respuesta<xcb_query_keymap_reply_t> abajo{nullptr, std::free};
  };
  Lectura lectura_;  // the keyboard as read when it was taken, until it is made of it
  std::optional<x11::TecladoXkb> teclado_;
  unsigned grupo_ = 0;
  bool mayusculasFijas_ = false;    // Caps Lock was locked when the keyboard was read
  bool mayusculasSueltas_ = false;  // and is unlocked for the text being typed
  // Spare keycodes, highest first, with their entries as the server had them.
  std::vector<x11::Prestada> libres_;
  std::map<uint32_t, unsigned> ligadas_;  // keysym → spare keycode it is bound to now
  size_t enUso_ = 0;                      // how many spare keycodes are bound
  std::chrono::steady_clock::time_point ligadoEn_;

  // The keysyms of the text being typed, in order, and how far typing has gone.
  std::vector<uint32_t> secuencia_;
  size_t posicion_ = 0;
};

}  // namespace tildo
