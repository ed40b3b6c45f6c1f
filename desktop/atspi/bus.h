#pragma once
// Method calls to AT-SPI objects straight on the accessibility bus, many in flight at once, so
// that an exchange with an application costs one wait however many answers it carries; and the
// bounds that keep an application that does not answer from holding a command up. Everything
// goes over the bus: no application's own socket is ever opened. Only the AT-SPI backend sees
// this.

#include <dbus/dbus.h>

#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace tildo::atspi {

using Reloj = std::chrono::steady_clock;

// How long a command waits for applications it may not need (the names of a lookup).
constexpr std::chrono::milliseconds ESPERA_CORTA{250};
// An application with a question pending that has answered nothing for this long does not
// answer: it is frozen, or busy beyond what a user would wait for.
constexpr std::chrono::milliseconds SILENCIO{1500};
// All that one command waits on the bus, whatever the applications do.
constexpr std::chrono::milliseconds ESPERA_TOTAL{3000};
// Questions in flight at most: far below the bus's limit of pending replies per connection,
// and a bound on what a huge tree can make the walk hold.
constexpr size_t EN_VUELO_MAXIMO = 4000;

// Answers held at once at most, in bytes: past this libdbus reads nothing more from the bus
// until some are let go, so an application sending megabytes costs a bounded amount of
// memory (an answer waited for behind them then does not come, and the command fails).
constexpr long RECIBIDO_MAXIMO = 63L * 1024 * 1024;
// Texts read from an application (names, descriptions, text contents) are cut to this many
// bytes, at a character boundary: an application may send a megabyte on every element.
constexpr size_t LARGO_TEXTO = 64 * 1024;

// An accessible object: the application's bus name and the object's path.
struct Objeto {
  std::string bus;
  std::string ruta;
  bool operator==(const Objeto&) const = default;
};

// Whether the reference can be called at all: a valid bus name and a valid object path
// (libdbus ends the process on a call to anything else). An application may send any text.
bool referenciaValida(const Objeto& o);
// A method call to the object; nothing when the reference is not valid.
DBusMessage* llamadaA(const Objeto& o, const char* interfaz, const char* nombre);

struct Extension {
  int32_t x = 0, y = 0, ancho = 0, alto = 0;
};

// One element as an application's cache (org.a11y.atspi.Cache.GetItems) describes it.
struct ItemDeCache {
  Objeto objeto, padre;
  int32_t indice = -1;        // among its parent's children
  int32_t cuantosHijos = -1;  // -1: the application does not keep its children in the cache
  std::vector<std::string> interfaces;
  std::string nombre;
  uint32_t rol = 0;
  std::string descripcion;
  std::vector<uint32_t> estados;
};

class Bus;

// One call sent at construction; its answer is waited for on first use.
class Llamada {
 public:
  Llamada() = default;
  Llamada(Llamada&& o) noexcept;
  Llamada& operator=(Llamada&& o) noexcept;
  Llamada(const Llamada&) = delete;
  Llamada& operator=(const Llamada&) = delete;
  ~Llamada();

  // Whether a call was sent at all.
  bool enviada() const { return pendiente_ || esperada_; }
  // Whether the answer is in (or there will be none), so that using it does not wait.
  bool lista() const;
  // Waits until the deadline at most; whether the answer (or an error) came. A call that
  // was never sent counts as answered.
  bool esperarHasta(Reloj::time_point hasta);
  // The answer's arguments, or nothing for an error. An application that does not answer
  // within the bounds ends the command (Bus::alCallar).
  DBusMessage* respuesta();
  // Whether the answer is an error of the application's (an unknown method, a bad argument).
  bool fallida();
  // Runs the step when the answer (or an error) comes, while the bus is being read; at once
  // when it is already in. The step may send calls and read answers that are in, never wait.
  void luego(std::function<void()> paso);

  // Texts are cut to LARGO_TEXTO; references that are not valid are left out.
  std::optional<std::string> texto();                      // s, or v(s) for a property
  std::optional<uint32_t> natural();                       // u, or v(u)
  std::optional<int32_t> entero();                         // i, or v(i) for a property
  std::optional<double> numero();                          // v(d)
  std::optional<bool> booleano();                          // b, or v(b)
  std::optional<std::vector<uint32_t>> naturales();        // au
  std::optional<std::vector<std::string>> textos();        // as
  std::optional<Extension> extension();                    // (iiii)
  std::optional<std::vector<std::string>> acciones();      // a(sss): the names
  std::optional<std::vector<Objeto>> objetos();            // a(so)
  std::optional<Objeto> objeto();                          // (so), or v((so)) for a property
  std::optional<std::string> atributo(const char* clave);  // a{ss}
  std::optional<std::string> textoEn(const char* clave);   // a{sv}: the value v(s)
  std::optional<int32_t> enteroEn(const char* clave);      // a{sv}: the value v(i)
  // a((so)(so)(so)iiassusau); nothing for an answer of any other shape.
  std::optional<std::vector<ItemDeCache>> itemsDeCache();

 private:
  friend class Bus;
  // The answer positioned at its first argument; false when there is none.
  bool inicio(DBusMessageIter& it);
  // The answer, a{sv}, positioned inside the value under the key; false when it has none.
  bool valorEn(const char* clave, DBusMessageIter& it);
  void tomar();

  // The call while it is in flight, shared with the bus, which fills it in when the answer
  // comes.
  struct Pendiente;
  std::shared_ptr<Pendiente> pendiente_;
  std::string destino_;
  Reloj::time_point enviadaEn_{};
  DBusMessage* respuesta_ = nullptr;
  bool esperada_ = false;
  bool error_ = false;
};

// A private connection to one bus, with the bounds of one command.
class Bus {
 public:
  // A private connection to the bus at the address, its greeting sent but not waited for, so
  // that calls can follow at once and the waits of two buses overlap; nothing when the address
  // cannot be connected to.
  static std::unique_ptr<Bus> conectar(const std::string& direccion);
  // Whether the bus has answered the greeting, waited for within the bounds.
  bool saludado();
  ~Bus();
  Bus(const Bus&) = delete;
  Bus& operator=(const Bus&) = delete;

  Llamada metodo(const Objeto& o, const char* interfaz, const char* nombre);
  Llamada propiedad(const Objeto& o, const char* interfaz, const char* nombre);
  Llamada conEnteros(const Objeto& o, const char* interfaz, const char* nombre,
                     const std::vector<int32_t>& enteros,
                     std::optional<uint32_t> natural = std::nullopt);
  Llamada conTexto(const Objeto& o, const char* interfaz, const char* nombre,
                   const std::string& texto);
  // Sets a boolean property.
  Llamada fijar(const Objeto& o, const char* interfaz, const char* nombre, bool valor);
  // Sends a message built by the caller, which it takes.
  Llamada enviar(DBusMessage* m);

  // Called with the application's bus name when one does not answer within the bounds, or
  // when the command has waited on the bus all it may; it is expected to end the command.
  std::function<void(const std::string& bus)> alCallar;
  // Whether the command has waited on the bus all it may.
  bool agotada() const { return esperado_ >= ESPERA_TOTAL; }
  // Questions still waiting for their answers.
  size_t enVuelo() const { return pendientes_.size(); }
  // Runs the step now when fewer than EN_VUELO_MAXIMO questions are in flight, else as soon
  // as answers have made room, in the order the steps came.
  void cuandoQuepa(std::function<void()> paso);

 private:
  friend class Llamada;
  struct Destino {
    Reloj::time_point ultimaRespuesta{};
    bool callada = false;
  };
  explicit Bus(DBusConnection* c) : c_(c) {}
  // Reads and dispatches what the bus brings until the call is answered or the deadline
  // passes; false at the deadline or when the connection is gone.
  bool esperar(std::shared_ptr<Llamada::Pendiente> p, Reloj::time_point hasta);
  // The answer of a call under the application's bounds.
  bool esperarAcotado(Llamada& l);
  // Takes the answers to the calls in flight as libdbus dispatches them.
  static DBusHandlerResult alRecibir(DBusConnection* c, DBusMessage* m, void* bus);

  // Runs the waiting steps while there is room.
  void darPaso();

  DBusConnection* c_;
  std::map<std::string, Destino, std::less<>> destinos_;
  Reloj::duration esperado_{};
  // The calls in flight by their serial. Answers are matched here rather than by libdbus's
  // pending calls, which build an error message for every call in case it times out: about a
  // fifth of this program's user time in a walk.
  std::unordered_map<dbus_uint32_t, std::shared_ptr<Llamada::Pendiente>> pendientes_;
  std::deque<std::function<void()>> enEspera_;
  bool dandoPaso_ = false;
  Llamada hola_;
};

}  // namespace tildo::atspi
