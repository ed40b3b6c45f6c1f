#pragma once
// Values of tildo-ui: where the configuration files and the installation live, the shared
// colours, the default settings and the interface texts.

#include <map>
#include <optional>
#include <string>

#include "common/json.h"

namespace tildo::ui {

// Where the configuration files and the installation live: computed once at start-up and
// handed to what reads or writes them.
struct Rutas {
  std::string carpeta;
  std::string archivoAjustes;
  std::string archivoPosicion;
  std::string archivoCandado;
  std::string archivoOcultar;
  std::string archivoCerrada;
  std::string raizApp;
  std::string carpetaAssets;
};

// tildoConfig is the value of TILDO_CONFIG when it is set (an empty value included); programa
// is the program's path as it was started, resolved against directorioActual when relative.
Rutas calcularRutas(const std::string& home, const std::optional<std::string>& tildoConfig,
                    const std::string& programa, const std::string& directorioActual);

// The installation root, the folder the images hang from: where an installation keeps it seen
// from the program's folder, the program's path made absolute and standardised
// (/opt/x/bin/tildo-ui gives /opt/x/share/tildo).
std::string raizDeApp(const std::string& programa, const std::string& directorioActual);

// This process's paths, from the environment (TILDO_CONFIG, HOME) and the program's path as it
// was started.
Rutas rutasDelProceso(const std::string& programa);

// Calibrated RGB, components from 0 to 1.
struct Color {
  double rojo, verde, azul, alfa;
};

inline constexpr Color COLOR_FONDO{0.05, 0.10, 0.16, 0.94};
inline constexpr Color COLOR_CIAN{0.37, 0.91, 1.0, 1.0};
inline constexpr Color COLOR_CIAN_SUAVE{0.37, 0.91, 1.0, 0.3};
inline constexpr Color COLOR_ROJO{1.0, 0.35, 0.35, 0.45};
inline constexpr Color COLOR_ROJO_BORDE{1.0, 0.47, 0.47, 0.95};

// The seven settings and their defaults.
extern const Json AJUSTES_POR_DEFECTO;

// The supported interface languages, in order.
inline const char* const IDIOMAS[] = {"es", "en", "zh"};

// Interface texts by language, then by text key.
extern const std::map<std::string, std::map<std::string, std::string>> TEXTOS;

}  // namespace tildo::ui
