#include "desktop/atspi/marcos.h"

#include <algorithm>

#include "desktop/atspi/roles.h"
#include "desktop/atspi/sesion.h"

namespace tildo::atspi {

std::vector<Marco> marcosDe(atspi::Bus& bus, Llamada& hijos) {
  const auto objetos = hijos.objetos().value_or(std::vector<Objeto>{});
  std::vector<Llamada> roles;
  for (const auto& h : objetos) roles.push_back(bus.metodo(h, ACCESIBLE, "GetRole"));
  std::vector<Objeto> ventanas;
  std::vector<Llamada> estados;
  for (size_t i = 0; i < objetos.size(); ++i) {
    if (!esVentana(static_cast<AtspiRole>(roles[i].natural().value_or(ATSPI_ROLE_INVALID))))
      continue;
    ventanas.push_back(objetos[i]);
    estados.push_back(bus.metodo(objetos[i], ACCESIBLE, "GetState"));
  }
  std::vector<Marco> marcos;
  for (size_t i = 0; i < ventanas.size(); ++i)
    marcos.push_back({ventanas[i], estados[i].naturales().value_or(std::vector<uint32_t>{})});
  return marcos;
}

std::vector<Marco> marcosDe(atspi::Bus& bus, const Objeto& app) {
  auto hijos = bus.metodo(app, ACCESIBLE, "GetChildren");
  return marcosDe(bus, hijos);
}

void activasPrimero(std::vector<Marco>& marcos) {
  std::stable_partition(marcos.begin(), marcos.end(),
                        [](const Marco& m) { return tieneEstado(m.estados, ATSPI_STATE_ACTIVE); });
}
}  // namespace tildo::atspi
