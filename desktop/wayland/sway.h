#pragma once
// sway's IPC socket (SWAYSOCK), for what the wlroots protocols do not tell a client: where
// windows are, which process owns each, the usable area of an output, and the commands that
// focus, move and resize a window. Replies are parsed with nlohmann::json.

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/json.h"
#include "desktop/pantallas.h"
#include "desktop/wayland/ventana.h"
#include "desktop/wayland/ventanas_wayland.h"

namespace tildo {

class Sway {
 public:
  // Message types of the protocol.
  static constexpr uint32_t ORDEN = 0;
  static constexpr uint32_t ESCRITORIOS = 1;
  static constexpr uint32_t ARBOL = 4;

  // Connects to the socket SWAYSOCK names; nothing when there is none or it does not answer.
  static std::unique_ptr<Sway> conectar();
  ~Sway();
  Sway(const Sway&) = delete;
  Sway& operator=(const Sway&) = delete;

  // The reply to one message; nothing when the compositor does not answer as the protocol says.
  std::optional<Json> pedir(uint32_t tipo, const std::string& carga = "");
  // Runs one command; true when the compositor says it succeeded.
  bool ordenar(const std::string& orden);

 private:
  explicit Sway(int fd) : fd_(fd) {}
  int fd_;
};

// The windows of a GET_TREE reply, the most recently focused first, as sway orders focus. A
// window in the scratchpad, sway's place for windows put away, counts as minimised.
std::vector<VentanaCompositor> ventanasDelArbol(const Json& arbol);

// The windows of a sway session: an application's windows by the pid sway knows for each,
// placed, focused and put away in the scratchpad by commands on the window's container id.
class VentanasSway : public VentanasCompositor {
 public:
  VentanasSway(Sway& sway, ConexionWayland& conexion) : VentanasCompositor(conexion), sway_(sway) {}
  std::vector<VentanaCompositor> todas() override;
  bool enfocar(int64_t id) override;
  bool minimizar(int64_t id, bool minimizada) override;
  bool colocar(int64_t id, std::optional<Punto> esquina, std::optional<Medidas> medidas) override;

 private:
  bool ordenar(int64_t id, const std::string& orden);
  Sway& sway_;
};

}  // namespace tildo
