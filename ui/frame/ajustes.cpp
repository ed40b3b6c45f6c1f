#include "ui/frame/ajustes.h"

#include <filesystem>
#include <thread>

#include "common/archivos.h"
#include "common/lineas.h"
#include "common/texto.h"
#include "ui/frame/constantes.h"

namespace tildo::ui {
namespace {

// A value of the same kind as the default: a boolean (a number exactly 0 or 1 counts as one)
// for a boolean, a text for a text.
std::optional<Json> delMismoTipo(const Json& porDefecto, const Json& valor) {
  if (porDefecto.is_boolean()) {
    if (valor.is_boolean()) return valor;
    if (valor.is_number()) {
      const double n = valor.get<double>();
      if (n == 0) return Json(false);
      if (n == 1) return Json(true);
    }
    return std::nullopt;
  }
  if (porDefecto.is_string() && valor.is_string()) return valor;
  return std::nullopt;
}

}  // namespace

std::optional<Json> ajustesDelTexto(const std::string& bytes) {
  const Json leido = Json::parse(bytes, nullptr, false);
  if (!leido.is_object()) return std::nullopt;
  Json ajustes = AJUSTES_POR_DEFECTO;
  for (const auto& [clave, valor] : leido.items()) {
    auto porDefecto = AJUSTES_POR_DEFECTO.find(clave);
    if (porDefecto == AJUSTES_POR_DEFECTO.end()) continue;
    if (auto v = delMismoTipo(*porDefecto, valor)) ajustes[clave] = *v;
  }
  return ajustes;
}

Json ajustesDeBytes(const std::optional<std::string>& bytes) {
  if (!bytes) return AJUSTES_POR_DEFECTO;
  return ajustesDelTexto(*bytes).value_or(AJUSTES_POR_DEFECTO);
}

Json leerAjustes(const Rutas& rutas) {
  return ajustesDeBytes(leerArchivo(rutas.archivoAjustes));
}

std::optional<Json> leerAjustesParaCambiar(const Rutas& rutas, std::chrono::milliseconds espera) {
  using Reloj = std::chrono::steady_clock;
  const auto limite = Reloj::now() + espera;
  for (;;) {
    if (const auto bytes = leerArchivo(rutas.archivoAjustes)) {
      if (auto ajustes = ajustesDelTexto(*bytes)) return ajustes;
    } else {
      // Only a missing file holds nothing to lose; one that cannot be read may hold anything.
      std::error_code ec;
      if (std::filesystem::symlink_status(rutas.archivoAjustes, ec).type() ==
          std::filesystem::file_type::not_found)
        return AJUSTES_POR_DEFECTO;
    }
    if (Reloj::now() >= limite) return std::nullopt;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
}

void guardarAjustes(const Rutas& rutas, const Json& ajustes) {
  std::error_code ec;
  std::filesystem::create_directories(rutas.carpeta, ec);
  const auto texto = escribirJsonBonito(ajustes);
  if (!texto) return;
  escribirEnSitio(rutas.archivoAjustes, *texto);
}

std::optional<std::string> leerTexto(const std::string& ruta) {
  auto bytes = leerArchivo(ruta);
  if (!bytes || !utf8Valido(*bytes)) return std::nullopt;
  return bytes;
}

std::optional<std::string> idiomaDelSistema() {
  if (auto lista = variableDeEntorno("LANGUAGE")) {
    const std::string primero = lista->substr(0, lista->find(':'));
    if (!primero.empty()) return primero;
  }
  std::optional<std::string> local;
  for (const char* nombre : {"LC_ALL", "LC_MESSAGES", "LANG"})
    if ((local = variableDeEntorno(nombre))) break;
  if (!local) return std::nullopt;
  // "C.UTF-8" is still the C locale: only the part before the codeset names a language.
  const std::string idioma = local->substr(0, local->find_first_of(".@"));
  if (idioma.empty() || idioma == "C" || idioma == "POSIX") return std::nullopt;
  return idioma;
}

std::string idiomaEfectivo(const Json& ajustes) {
  const auto idioma = ajustes.find("idioma");
  if (idioma != ajustes.end() && idioma->is_string())
    for (const char* codigo : IDIOMAS)
      if (*idioma == codigo) return codigo;
  const std::string sistema = idiomaDelSistema().value_or("en");
  if (sistema.starts_with("es")) return "es";
  if (sistema.starts_with("zh")) return "zh";
  return "en";
}

}  // namespace tildo::ui
