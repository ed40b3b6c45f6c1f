#pragma once
// Method calls to AT-SPI objects straight on the accessibility bus, so that many questions can
// be in flight at once: an exchange with an application costs one wait, however many answers
// it carries. Only the AT-SPI backend sees this.

#include <dbus/dbus.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tildo::atspi {

// An accessible object: the application's bus name and the object's path.
struct Objeto {
  std::string bus;
  std::string ruta;
  bool operator==(const Objeto&) const = default;
};

struct Extension {
  int32_t x = 0, y = 0, ancho = 0, alto = 0;
};

// One call sent at construction; its answer is waited for on first use.
class Llamada {
 public:
  Llamada() = default;
  static Llamada metodo(DBusConnection* bus, const Objeto& o, const char* interfaz,
                        const char* nombre);
  static Llamada propiedad(DBusConnection* bus, const Objeto& o, const char* interfaz,
                           const char* nombre);
  static Llamada conEnteros(DBusConnection* bus, const Objeto& o, const char* interfaz,
                            const char* nombre, const std::vector<int32_t>& enteros,
                            std::optional<uint32_t> natural = std::nullopt);
  Llamada(Llamada&& o) noexcept;
  Llamada& operator=(Llamada&& o) noexcept;
  Llamada(const Llamada&) = delete;
  Llamada& operator=(const Llamada&) = delete;
  ~Llamada();

  // Whether the answer is in (or there will be none), so that using it does not wait.
  bool lista() const;
  // The answer's arguments, or nothing for an error or no answer in time.
  DBusMessage* respuesta();

  std::optional<std::string> texto();                  // s, or v(s) for a property
  std::optional<uint32_t> natural();                   // u
  std::optional<int32_t> entero();                     // i, or v(i) for a property
  std::optional<double> numero();                      // v(d)
  std::optional<bool> booleano();                      // b
  std::optional<std::vector<uint32_t>> naturales();    // au
  std::optional<std::vector<std::string>> textos();    // as
  std::optional<Extension> extension();                // (iiii)
  std::optional<std::vector<std::string>> acciones();  // a(sss): the names
  std::optional<std::vector<Objeto>> objetos();        // a(so)
  std::optional<Objeto> objeto();                      // (so), or v((so)) for a property
  std::optional<std::string> atributo(const char* clave);

 private:
  explicit Llamada(DBusPendingCall* p) : pendiente_(p) {}
  static Llamada enviar(DBusConnection* bus, DBusMessage* m);
  // The answer positioned at its first argument; false when there is none.
  bool inicio(DBusMessageIter& it);

  DBusPendingCall* pendiente_ = nullptr;
  DBusMessage* respuesta_ = nullptr;
  bool esperada_ = false;
};

}  // namespace tildo::atspi
