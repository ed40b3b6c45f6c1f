#pragma once
// The control bar's behaviour: its launch, its layout and position, its switches and the
// heartbeat that keeps exactly one bar alive while the agent server runs. It reaches the
// desktop only through the ports; its files are those of the configuration directory.

#include <cstdint>
#include <optional>
#include <string>

#include "ui/bar/procesos.h"
#include "ui/bar/puertos.h"
#include "ui/frame/constantes.h"

namespace tildo::ui {

class Barra {
 public:
  Barra(Procesos& procesos, PantallasDeBarra& pantallas, Reloj& reloj, Rutas rutas);

  // The launch check, before anything is drawn: false (traced) when another bar is the bar.
  bool puedoArrancar();
  // The rest of the launch with the panel built: layout, placement, the lock and the ready
  // line.
  void arrancar(Panel& panel);
  // One heartbeat; false (traced) when the bar must leave.
  bool latido();

  // A settings row was flipped; false when the bar must leave.
  bool cambiar(const std::string& clave, bool valor);
  void alternarTamano();
  // Writes the closed marker; the caller ends the process.
  void cerrar();

  void acomodar();
  void colocar();
  void guardarPosicion();
  bool abreHaciaArriba();

  bool compacta() const { return compacta_; }

 private:
  std::optional<Rect> visiblePrincipal();
  void anotarBarrasVivas();

  Procesos& procesos_;
  PantallasDeBarra& pantallas_;
  Reloj& reloj_;
  const Rutas rutas_;
  Panel* panel_ = nullptr;
  bool compacta_ = true;
  std::optional<bool> abriaArriba_;
  std::optional<double> sinTildoDesde_;
  int64_t latidosSinRevisar_ = 0;
  std::string ultimoTextoAjustes_;
  int32_t mioPid_;
  std::string pistaCerrar_;
};

// A double as the platform's description prints it: always with a fractional part (7.0).
std::string decimal(double valor);

}  // namespace tildo::ui
