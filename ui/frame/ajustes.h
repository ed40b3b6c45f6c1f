#pragma once
// The settings file (Rutas::archivoAjustes) and the interface language.

#include <chrono>
#include <optional>
#include <string>

#include "common/json.h"
#include "ui/frame/constantes.h"

namespace tildo::ui {

// The defaults overlaid with the valid entries of the file, read afresh at every call.
Json leerAjustes(const Rutas& rutas);
// The settings as they would be read from these bytes (nothing: no readable file).
Json ajustesDeBytes(const std::optional<std::string>& bytes);
// The defaults overlaid with the valid entries of these bytes; nothing when they are not a JSON
// object.
std::optional<Json> ajustesDelTexto(const std::string& bytes);

// How long a change waits for a settings file that does not parse to be written whole.
inline constexpr std::chrono::milliseconds ESPERA_AJUSTES{300};

// The settings to change one key of and write back whole: the file's, the defaults when there is
// no file. A file that does not read as settings is read again every few milliseconds for up to
// `espera` (its writer may be half-way through); nothing when it still does not, since writing
// then would put the defaults over every other setting of the user.
std::optional<Json> leerAjustesParaCambiar(const Rutas& rutas,
                                           std::chrono::milliseconds espera = ESPERA_AJUSTES);

// Rewrites the file in place (the agent server may be watching it) in the pretty form, keys
// ascending, no final line feed; creates the configuration directory first. Failures are
// silent: the old file stays.
void guardarAjustes(const Rutas& rutas, const Json& ajustes);

// The whole file as UTF-8 text; nothing when unreadable or not UTF-8.
std::optional<std::string> leerTexto(const std::string& ruta);

// The user's first preferred language from the locale environment: the first entry of
// LANGUAGE's colon-separated list, else the first set of LC_ALL, LC_MESSAGES and LANG; the
// C and POSIX locales name no language. Nothing when none is named.
std::optional<std::string> idiomaDelSistema();

// "es", "en" or "zh": the setting `idioma` when it names one of them, else the system's first
// preferred language by its prefix, English when the system names none.
std::string idiomaEfectivo(const Json& ajustes);

}  // namespace tildo::ui
