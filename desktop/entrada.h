#pragma once
// The input port: pointer, wheel and keyboard events as the platform's event services take
// them (event type numbers, buttons, virtual key codes, flag masks), in global points with the
// origin at the top-left of the main display and y downward.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tildo {

struct Punto {
  double x = 0;
  double y = 0;
};

// Pointer event types, numbered as the platform numbers them.
namespace tipo {
constexpr int MOVIDO = 5;
constexpr int IZQUIERDO_ABAJO = 1;
constexpr int IZQUIERDO_ARRIBA = 2;
constexpr int DERECHO_ABAJO = 3;
constexpr int DERECHO_ARRIBA = 4;
constexpr int OTRO_ABAJO = 25;
constexpr int OTRO_ARRIBA = 26;
constexpr int IZQUIERDO_ARRASTRADO = 6;
}  // namespace tipo

// Buttons: 0 left, 1 right, 2 middle.
namespace boton {
constexpr int IZQUIERDO = 0;
constexpr int DERECHO = 1;
constexpr int MEDIO = 2;
}  // namespace boton

// Modifier flag masks.
namespace bandera {
constexpr uint64_t COMANDO = 0x100000;
constexpr uint64_t MAYUSCULAS = 0x20000;
constexpr uint64_t CONTROL = 0x40000;
constexpr uint64_t OPCION = 0x80000;
constexpr uint64_t FUNCION = 0x800000;
}  // namespace bandera

class Entrada {
 public:
  virtual ~Entrada() = default;

  // One pointer event of the given type at a point, with a button.
  virtual void raton(int tipo, Punto punto, int boton) = 0;
  // One scroll event in pixel units with two wheels: wheel 1 vertical, wheel 2 horizontal.
  virtual void rueda(int32_t rueda1, int32_t rueda2) = 0;
  // One key event. Flags, when given, replace the modifiers of the event (0 clears them all);
  // when absent the event keeps what its source gives it. A non-empty text is the Unicode
  // string the event carries instead of what the key would type.
  virtual void tecla(uint16_t codigo, bool abajo, std::optional<uint64_t> banderas,
                     const std::u16string& texto) = 0;
  virtual void pausa(uint32_t microsegundos) = 0;

  // Before a text is typed: its characters in order, so the backend can ready them together.
  virtual void prepararTexto(const std::vector<std::u16string>&) {}
  // After the text: undoes whatever prepararTexto changed.
  virtual void terminarTexto() {}
};

}  // namespace tildo
