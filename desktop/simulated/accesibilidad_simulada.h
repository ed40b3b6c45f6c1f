#pragma once
// The running applications of the simulated desktop and their element trees, read from the
// description's "aplicaciones", "primer_plano" and "permisos". Actions and attribute writes
// are logged; accepted writes go back into the description.

#include <cstdint>
#include <map>
#include <optional>
#include <string>

#include "desktop/accesibilidad.h"
#include "desktop/simulated/simulado.h"

namespace tildo {

class AccesibilidadSimulada : public Accesibilidad {
 public:
  explicit AccesibilidadSimulada(DescripcionSimulada& descripcion) : d_(descripcion) {}
  ElementoRef aplicacion(int32_t pid) override;
  // The deepest element whose frame holds the point, the frontmost application first.
  ElementoRef elementoEn(float x, float y) override;
  bool confiable() override;

  DescripcionSimulada& descripcion() { return d_; }
  // An element's node in the description, or nothing when the path leads nowhere.
  const Json* nodo(const Json::json_pointer& ruta);
  // The position its next read gives; "posiciones" advances one step per consumed read.
  std::optional<Punto> posicion(const Json::json_pointer& ruta, bool consumir);
  // The index of the application with that pid in "aplicaciones".
  std::optional<size_t> indiceDe(int32_t pid);

 private:
  ElementoRef tocado(const Json::json_pointer& ruta, double x, double y);

  DescripcionSimulada& d_;
  std::map<std::string, size_t> lecturas_;
};

class EspacioSimulado : public Espacio {
 public:
  explicit EspacioSimulado(DescripcionSimulada& descripcion) : d_(descripcion) {}
  std::vector<Aplicacion> aplicaciones() override;
  std::optional<Aplicacion> primerPlano() override;
  std::optional<Aplicacion> porPid(int32_t pid) override;
  // Makes it the frontmost application (written back and logged).
  bool activar(int32_t pid) override;

 private:
  DescripcionSimulada& d_;
};

}  // namespace tildo
