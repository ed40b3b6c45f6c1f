#pragma once
// The simulated desktop: a JSON description of the desktop (TILDO_ESCRITORIO) and an event
// log (TILDO_REGISTRO) that receives one JSON line for every event posted and every pause.
// State a command changes is written back into the description, so the next command sees it.

#include <memory>
#include <string>

#include "common/json.h"
#include "desktop/escritorio.h"

namespace tildo {

class DescripcionSimulada {
 public:
  // Fails the command when the description cannot be read as a JSON object.
  DescripcionSimulada(std::string ruta, std::string registro);
  // Writes the description back, once, when a command changed it.
  ~DescripcionSimulada();
  DescripcionSimulada(const DescripcionSimulada&) = delete;
  DescripcionSimulada& operator=(const DescripcionSimulada&) = delete;

  Json& datos() { return datos_; }
  // Appends one line to the event log (nothing when no log is named).
  void registrar(const Json& linea);
  // The description is to be written back (a drag changes the pointer a dozen times; the file
  // is written once).
  void anotarCambio() { cambiada_ = true; }
  bool tiempoReal() const;

 private:
  std::string ruta_;
  std::string registro_;
  Json datos_;
  bool cambiada_ = false;
};

class EntradaSimulada : public Entrada {
 public:
  explicit EntradaSimulada(DescripcionSimulada& descripcion) : d_(descripcion) {}
  void raton(int tipo, Punto punto, int boton) override;
  void rueda(int32_t rueda1, int32_t rueda2) override;
  void tecla(uint16_t codigo, bool abajo, std::optional<uint64_t> banderas,
             const std::u16string& texto) override;
  void pausa(uint32_t microsegundos) override;

 private:
  DescripcionSimulada& d_;
};

class AccesibilidadSimulada;
class EspacioSimulado;

class EscritorioSimulado : public Escritorio {
 public:
  EscritorioSimulado(std::string ruta, std::string registro);
  ~EscritorioSimulado() override;
  Entrada& entrada() override { return entrada_; }
  Pantallas& pantallas() override;
  Accesibilidad& accesibilidad() override;
  Espacio& espacio() override;

 private:
  DescripcionSimulada descripcion_;
  EntradaSimulada entrada_;
  std::unique_ptr<Pantallas> pantallas_;
  std::unique_ptr<AccesibilidadSimulada> accesibilidad_;
  std::unique_ptr<EspacioSimulado> espacio_;
};

}  // namespace tildo
