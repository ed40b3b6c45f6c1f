#pragma once
// The windows of a wlroots compositor without sway's IPC (Hyprland, river, labwc), through
// zwlr_foreign_toplevel_management_v1: each window's title, app id and state; focus and
// minimising as requests the compositor may honour. The protocol gives neither a window's place
// nor its process, and lets no client place a window.

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "desktop/wayland/ventanas_wayland.h"

struct zwlr_foreign_toplevel_manager_v1;

namespace tildo {

// Whether an app id names a program: the program's own name, or the last part of a reverse-DNS
// id ("org.example.Editor" names "editor"), in any letter case.
bool nombraAlPrograma(const std::string& appId, const std::string& programa);

class VentanasAjenas : public VentanasCompositor {
 public:
  // Nothing when the compositor does not offer the protocol.
  static std::unique_ptr<VentanasAjenas> abrir(ConexionWayland& conexion);
  ~VentanasAjenas() override;
  VentanasAjenas(const VentanasAjenas&) = delete;
  VentanasAjenas& operator=(const VentanasAjenas&) = delete;

  // The windows in the order the compositor announced them, the newest first, the active one
  // before all. A window's pid is the one process of the user in this session (its environment
  // names this compositor) whose program its app id names, when there is exactly one.
  std::vector<VentanaCompositor> todas() override;
  // A window without a known pid belongs to every process whose program its app id names.
  bool esDe(const VentanaCompositor& v, int32_t pid) override;
  bool enfocar(int64_t id) override;
  // True when the compositor says the window has the state asked for.
  bool minimizar(int64_t id, bool minimizada) override;
  // Fails the command: the protocol has no request that places a window.
  [[noreturn]] bool colocar(int64_t, std::optional<Punto>, std::optional<Medidas>) override;

  struct Anunciada;

 private:
  VentanasAjenas(ConexionWayland& conexion, zwlr_foreign_toplevel_manager_v1* gestor);
  Anunciada* anunciada(int64_t id);
  // The user's processes in this session with their program's name, read once per run.
  const std::vector<std::pair<int32_t, std::string>>& procesos();

  zwlr_foreign_toplevel_manager_v1* gestor_;
  std::vector<std::unique_ptr<Anunciada>> anunciadas_;
  std::optional<std::vector<std::pair<int32_t, std::string>>> procesos_;
};

}  // namespace tildo
