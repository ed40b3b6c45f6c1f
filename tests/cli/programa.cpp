#include "programa.h"

#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "common/archivos.h"
#include "en_marcha.h"

namespace tildo::prueba {

std::string carpetaDeProgramas() {
  const char* instalados = std::getenv("TILDO_PROGRAMAS");
  return instalados && *instalados ? instalados : TILDO_BIN;
}

Json Salida::json() const {
  return Json::parse(stdout_, nullptr, false);
}

Salida correr(const std::string& programa, const std::vector<std::string>& args,
              const std::map<std::string, std::string>& entorno, const std::string& entrada) {
  const auto inicio = std::chrono::steady_clock::now();
  EnMarcha p(programa, args, entorno);
  p.enviar(entrada);
  p.cerrarEntrada();
  Salida s;
  s.stdout_ = p.resto();
  s.codigo = p.fin(std::chrono::hours(1)).value_or(-1);
  s.segundos = std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
  s.memoriaMaximaKb = p.memoriaMaximaKb();
  s.stderr_ = p.errores();
  return s;
}

EscritorioDePrueba::EscritorioDePrueba(const Json& descripcion) {
  char plantilla[] = "/tmp/tildo-prueba-XXXXXX";
  carpeta_ = mkdtemp(plantilla);
  escribirAtomico(carpeta_ + "/escritorio.json", descripcion.dump());
}

EscritorioDePrueba::~EscritorioDePrueba() {
  std::filesystem::remove_all(carpeta_);
}

Salida EscritorioDePrueba::ax(const std::vector<std::string>& args,
                              const std::string& entrada) const {
  return correr("tildo-ax", args,
                {{"TILDO_ESCRITORIO", carpeta_ + "/escritorio.json"},
                 {"TILDO_REGISTRO", carpeta_ + "/registro.jsonl"}},
                entrada);
}

std::vector<Json> EscritorioDePrueba::registro() const {
  std::vector<Json> lineas;
  std::istringstream texto(leerArchivo(carpeta_ + "/registro.jsonl").value_or(""));
  for (std::string linea; std::getline(texto, linea);) lineas.push_back(Json::parse(linea));
  return lineas;
}

Json EscritorioDePrueba::descripcion() const {
  return Json::parse(leerArchivo(carpeta_ + "/escritorio.json").value_or("null"));
}

::testing::AssertionResult falla(const Salida& s, const std::string& mensaje, int codigo) {
  const std::string linea = escribirJson({{"ok", false}, {"error", mensaje}}).value_or("") + "\n";
  if (s.stdout_ == linea && s.codigo == codigo) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "exit code " << s.codigo << ", reply " << s.stdout_
                                       << "; expected " << codigo << ", " << linea;
}

std::vector<Json> sinPausas(const std::vector<Json>& registro) {
  std::vector<Json> eventos;
  for (const auto& l : registro)
    if (l["evento"] != "pausa") eventos.push_back(l);
  return eventos;
}

std::vector<int64_t> pausas(const std::vector<Json>& registro) {
  std::vector<int64_t> us;
  for (const auto& l : registro)
    if (l["evento"] == "pausa") us.push_back(l["us"].get<int64_t>());
  return us;
}

}  // namespace tildo::prueba
