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

// A window as sway's tree describes it, in the layout's coordinates.
struct VentanaSway {
  int64_t id = 0;
  std::optional<int32_t> pid;
  std::string titulo;
  std::string appId;
  // The frame the user sees: the container with its borders and title bar.
  Rect marco;
  bool visible = false;
  bool enfocada = false;
  bool minimizada = false;  // in the scratchpad, sway's place for windows put away
};

// The windows of a GET_TREE reply, the most recently focused first, as sway orders focus.
std::vector<VentanaSway> ventanasDelArbol(const Json& arbol);

}  // namespace tildo
