#pragma once
// A run that holds a mouse button or a key down, or has the keyboard lent out, must not leave it
// so when it dies: the server would go on dragging or repeating. From its first hold, the run
// keeps a guardian, a child process told over a socket what is held. A run that ends normally
// says so and the guardian leaves at once; when the socket closes without that word the run has
// died (SIGKILL, a crash) and the guardian undoes what it was told from a connection of its own.

#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <set>

namespace tildo {

// What a run has held: buttons and keycodes it pressed, and whether it has taken the keyboard
// (then a note of lent keycodes may be on the display). Releases are not told: one is sure to
// have happened only once the server has answered after it, and the server ignores the release
// of a button or key that is up.
struct Retenido {
  std::set<uint8_t> botones;
  std::set<uint8_t> teclas;
  bool teclado = false;
  bool vacio() const { return botones.empty() && teclas.empty() && !teclado; }
};

// The word the run sends: two bytes, what it holds and which button or keycode.
enum class Aviso : uint8_t {
  BOTON = 'B',
  TECLA = 'T',
  TECLADO = 'K',
  FIN = 'F',
};

// Follows the words as they come, in pieces of any size.
class LectorDeAvisos {
 public:
  // Takes the bytes; true once the run has said it ended.
  bool leer(const uint8_t* bytes, size_t cuantos);
  const Retenido& retenido() const { return retenido_; }

 private:
  Retenido retenido_;
  int pendiente_ = -1;  // the first byte of a word cut in two
  bool fin_ = false;
};

class Guardia {
 public:
  // Runs in the guardian, with nothing of the run's open, when the run has died holding something.
  using Deshacer = void (*)(const Retenido&);
  // Starts the guardian. When it cannot be started the run goes on unguarded, as a run killed
  // with its guardian is: the next run that takes the keyboard repairs it from the note.
  explicit Guardia(Deshacer deshacer);
  // Tells the guardian the run has ended and waits for it to leave: left to outlive the run, it
  // would be reaped by init, and an init that reaps nobody (a container's first process) would
  // keep one dead guardian for every click and key.
  ~Guardia();
  Guardia(const Guardia&) = delete;
  Guardia& operator=(const Guardia&) = delete;

  // Sent before the event it tells of reaches the server; each word once.
  void avisar(Aviso aviso, uint8_t detalle = 0);
  pid_t pid() const { return pid_; }

 private:
  int socket_ = -1;
  pid_t pid_ = -1;
  std::set<uint16_t> dichos_;
};

}  // namespace tildo
