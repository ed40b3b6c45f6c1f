#include "desktop/simulated/eventos_simulados.h"

#include <unistd.h>

#include "common/archivos.h"
#include "common/json.h"

namespace tildo {
namespace {

double numero(const Json& objeto, const char* clave) {
  const auto it = objeto.find(clave);
  return it != objeto.end() && it->is_number() ? it->get<double>() : 0;
}

class EventosSimulados : public FuenteDeEventos {
 public:
  explicit EventosSimulados(std::vector<EventoDeEntrada> eventos) : eventos_(std::move(eventos)) {}

  bool esperar(std::vector<EventoDeEntrada>& lote) override {
    if (!oidos_) {
      oidos_ = true;
      lote.insert(lote.end(), eventos_.begin(), eventos_.end());
      if (!eventos_.empty()) return true;
    }
    // Nobody touches a simulated desktop once its events are told.
    for (;;) ::pause();
  }
  std::string motivo() const override { return ""; }

 private:
  std::vector<EventoDeEntrada> eventos_;
  bool oidos_ = false;
};

}  // namespace

AperturaDeEventos abrirEventosSimulados(const std::string& descripcion) {
  const Lectura lectura = leerArchivoExplicado(descripcion);
  if (!lectura.bytes)
    return {nullptr,
            "no pude leer el escritorio simulado «" + descripcion + "»: " + lectura.motivo};
  const Json d = Json::parse(*lectura.bytes, nullptr, false);
  if (!d.is_object())
    return {nullptr, "el escritorio simulado «" + descripcion + "» no es un objeto JSON válido"};
  const auto permisos = d.find("permisos");
  if (permisos != d.end() && permisos->is_object() && permisos->value("monitoreo", Json()) == false)
    return {nullptr, "el escritorio simulado no permite el monitoreo de entrada"};
  std::vector<EventoDeEntrada> eventos;
  for (const auto& e : d.value("eventos", Json::array())) {
    if (!e.is_object()) continue;
    EventoDeEntrada evento{static_cast<int>(numero(e, "tipo")), {numero(e, "x"), numero(e, "y")}};
    if (e.contains("tecla")) evento.tecla = static_cast<uint16_t>(numero(e, "tecla"));
    eventos.push_back(evento);
  }
  return {std::make_unique<EventosSimulados>(std::move(eventos)), ""};
}

}  // namespace tildo
