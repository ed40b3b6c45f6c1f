#include "desktop/simulated/simulado.h"

#include <unistd.h>

#include "common/archivos.h"
#include "common/fallo.h"
#include "common/texto.h"
#include "desktop/simulated/accesibilidad_simulada.h"
#include "desktop/simulated/pantallas_simuladas.h"

namespace tildo {

DescripcionSimulada::DescripcionSimulada(std::string ruta, std::string registro)
    : ruta_(std::move(ruta)), registro_(std::move(registro)) {
  const Lectura lectura = leerArchivoExplicado(ruta_);
  if (!lectura.bytes)
    fallo("no pude leer el escritorio simulado «" + ruta_ + "»: " + lectura.motivo);
  datos_ = Json::parse(*lectura.bytes, nullptr, false);
  if (!datos_.is_object())
    fallo("el escritorio simulado «" + ruta_ + "» no es un objeto JSON válido");
}

void DescripcionSimulada::registrar(const Json& linea) {
  if (registro_.empty()) return;
  if (auto texto = escribirJson(linea)) anadirAlArchivo(registro_, *texto + "\n");
}

DescripcionSimulada::~DescripcionSimulada() {
  if (!cambiada_) return;
  if (auto texto = escribirJsonBonito(datos_)) escribirAtomico(ruta_, *texto + "\n");
}

bool DescripcionSimulada::tiempoReal() const {
  auto it = datos_.find("tiempo_real");
  return it != datos_.end() && it->is_boolean() && it->get<bool>();
}

void EntradaSimulada::raton(int tipo, Punto punto, int boton) {
  d_.registrar(
      {{"evento", "raton"}, {"tipo", tipo}, {"x", punto.x}, {"y", punto.y}, {"boton", boton}});
  // Every pointer event carries the pointer to its point.
  d_.datos()["puntero"] = {{"x", punto.x}, {"y", punto.y}};
  d_.anotarCambio();
}

void EntradaSimulada::rueda(int32_t rueda1, int32_t rueda2) {
  d_.registrar({{"evento", "rueda"},
                {"unidades", 0},
                {"ruedas", 2},
                {"rueda1", rueda1},
                {"rueda2", rueda2},
                {"rueda3", 0}});
}

void EntradaSimulada::tecla(uint16_t codigo, bool abajo, std::optional<uint64_t> banderas,
                            const std::u16string& texto) {
  Json linea = {{"evento", "tecla"}, {"codigo", codigo}, {"abajo", abajo}};
  if (banderas) linea["banderas"] = *banderas;
  if (!texto.empty()) {
    linea["texto"] = utf8(texto);
    linea["unidades"] = texto.size();
  }
  d_.registrar(linea);
}

void EntradaSimulada::pausa(uint32_t microsegundos) {
  d_.registrar({{"evento", "pausa"}, {"us", microsegundos}});
  if (d_.tiempoReal()) ::usleep(microsegundos);
}

EscritorioSimulado::EscritorioSimulado(std::string ruta, std::string registro)
    : descripcion_(std::move(ruta), std::move(registro)),
      entrada_(descripcion_),
      accesibilidad_(std::make_unique<AccesibilidadSimulada>(descripcion_)),
      espacio_(std::make_unique<EspacioSimulado>(descripcion_)) {}

EscritorioSimulado::~EscritorioSimulado() = default;

Accesibilidad& EscritorioSimulado::accesibilidad() {
  return *accesibilidad_;
}

Espacio& EscritorioSimulado::espacio() {
  return *espacio_;
}

Pantallas& EscritorioSimulado::pantallas() {
  if (!pantallas_) pantallas_ = std::make_unique<PantallasSimuladas>(descripcion_);
  return *pantallas_;
}

}  // namespace tildo
