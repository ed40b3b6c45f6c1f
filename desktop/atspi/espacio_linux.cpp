#include "desktop/atspi/espacio_linux.h"

#include <algorithm>

#include "desktop/atspi/registro.h"
#include "desktop/atspi/sesion.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {

using atspi::ACCESIBLE;
using atspi::appsDelRegistro;
using atspi::Reloj;

EspacioLinux::EspacioLinux(SistemaDeVentanas& sistema, FuenteDeVentanas* ventanas)
    : s_(sesionDe(sistema)) {
  if (ventanas) s_->ventanas = ventanas;
}

EspacioLinux::~EspacioLinux() = default;

std::vector<Aplicacion> EspacioLinux::lista(std::chrono::milliseconds espera) {
  s_->b();
  bool registro = false;
  auto apps = appsDelRegistro(*s_, espera, &registro);
  if (!registro) fallo("el registro de accesibilidad (AT-SPI) no responde");
  const auto duenos = s_->sistema.duenos();
  std::vector<Aplicacion> lista;
  for (auto& app : apps) {
    Aplicacion a{app.pid, app.nombre, bundleEn(duenos, app.pid), app.responde};
    if (!a.nombre) a.nombre = nombreDeProceso(app.pid);
    lista.push_back(std::move(a));
  }
  for (int32_t pid : duenos.pids) {
    if (pid <= 0 ||
        std::any_of(lista.begin(), lista.end(), [&](const Aplicacion& a) { return a.pid == pid; }))
      continue;
    lista.push_back({pid, nombreDeProceso(pid), bundleEn(duenos, pid)});
  }
  return lista;
}

std::vector<Aplicacion> EspacioLinux::aplicaciones() {
  return lista(atspi::ESPERA_CORTA);
}

std::vector<Aplicacion> EspacioLinux::aplicacionesEsperando() {
  return lista(atspi::SILENCIO);
}

std::optional<Aplicacion> EspacioLinux::porPid(int32_t pid) {
  // Only this application's name is asked for: the others may be silent.
  for (auto& app : appsDelRegistro(*s_, std::nullopt)) {
    if (app.pid != pid) continue;
    auto nombre = s_->bus->propiedad(app.raiz, ACCESIBLE, "Name");
    Aplicacion a{pid, std::nullopt, bundleEn(s_->sistema.duenos(), pid), true};
    a.responde = nombre.esperarHasta(Reloj::now() + atspi::SILENCIO);
    if (a.responde) a.nombre = nombre.texto();
    if (a.nombre && a.nombre->empty()) a.nombre.reset();
    if (!a.nombre) a.nombre = nombreDeProceso(pid);
    if (a.nombre) s_->nombres[app.raiz.bus] = *a.nombre;
    return a;
  }
  const auto duenos = s_->sistema.duenos();
  if (std::find(duenos.pids.begin(), duenos.pids.end(), pid) != duenos.pids.end())
    return Aplicacion{pid, nombreDeProceso(pid), bundleEn(duenos, pid)};
  return std::nullopt;
}

std::optional<Aplicacion> EspacioLinux::primerPlano() {
  const auto pid = s_->sistema.pidActivo();
  if (!pid) return std::nullopt;
  return porPid(*pid);
}

bool EspacioLinux::activar(int32_t pid) {
  return s_->ventanas && s_->ventanas->activar(pid);
}

}  // namespace tildo
