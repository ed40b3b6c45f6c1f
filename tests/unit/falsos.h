#pragma once
// In-process fakes of the input and application ports, for the logic's unit tests.

#include <optional>
#include <string>
#include <vector>

#include "desktop/accesibilidad.h"
#include "desktop/entrada.h"

namespace tildo {

// Keeps the pauses asked for; posts nothing.
class EntradaFalsa : public Entrada {
 public:
  std::vector<uint32_t> pausas;
  void raton(int, Punto, int) override {}
  void rueda(int32_t, int32_t) override {}
  void tecla(uint16_t, bool, std::optional<uint64_t>, const std::u16string&) override {}
  void pausa(uint32_t us) override { pausas.push_back(us); }
};

// The running applications as listed; activating one is noted and succeeds.
class EspacioFalso : public Espacio {
 public:
  std::vector<Aplicacion> apps;
  std::vector<int32_t> activadas;
  std::vector<Aplicacion> aplicaciones() override { return apps; }
  std::optional<Aplicacion> primerPlano() override { return std::nullopt; }
  std::optional<Aplicacion> porPid(int32_t pid) override {
    for (const auto& a : apps)
      if (a.pid == pid) return a;
    return std::nullopt;
  }
  bool activar(int32_t pid) override {
    activadas.push_back(pid);
    return true;
  }
};

}  // namespace tildo
