#include "ui/frame/constantes.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

namespace tildo::ui {

const Json AJUSTES_POR_DEFECTO = {
    {"voz", false},   {"cursor", true}, {"dividir", true},  {"zoom", true},
    {"pausa", false}, {"barra", true},  {"idioma", "auto"},
};

const std::map<std::string, std::map<std::string, std::string>> TEXTOS = {
    {"es",
     {{"drag", "Arrástrame para moverme"},
      {"small", "Minimizar la barra"},
      {"big", "Abrir la barra"},
      {"paused", "Tildo en pausa"},
      {"close",
       "Ocultar la barra (pídele a Tildo «muestra la barra de Tildo» para verla otra vez)"}}},
    {"en",
     {{"drag", "Drag me to move me"},
      {"small", "Minimize the bar"},
      {"big", "Open the bar"},
      {"paused", "Tildo paused"},
      {"close", "Hide the bar (ask Tildo to show Tildo's bar to see it again)"}}},
    {"zh",
     {{"drag", "拖着我就能移动"},
      {"small", "收起状态栏"},
      {"big", "展开状态栏"},
      {"paused", "Tildo 已暂停"},
      {"close", "隐藏状态栏（跟 Tildo 说「显示 Tildo 的状态栏」就能再看到）"}}},
};

namespace {

std::string directorioPersonal() {
  if (const char* h = std::getenv("HOME"); h && *h) return h;
  if (const passwd* pw = getpwuid(getuid()); pw && pw->pw_dir) return pw->pw_dir;
  return "";
}

std::string directorioActual() {
  std::error_code ec;
  return std::filesystem::current_path(ec).string();
}

// A bare name was found through PATH, so the directory the caller happened to be in says
// nothing about where the program lives; the kernel knows the file it runs.
std::string caminoDelPrograma(const std::string& programa) {
  if (programa.find('/') != std::string::npos) return programa;
  std::error_code ec;
  auto propio = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? programa : propio.string();
}

}  // namespace

std::string raizDeApp(const std::string& programa, const std::string& directorioActual) {
  std::filesystem::path camino(programa);
  if (camino.is_relative()) camino = std::filesystem::path(directorioActual) / camino;
  camino = camino.lexically_normal();
  // "/a/b/" names the directory b.
  if (!camino.has_filename()) camino = camino.parent_path();
  std::string raiz = (camino.parent_path() / TILDO_RAIZ).lexically_normal().string();
  while (raiz.size() > 1 && raiz.back() == '/') raiz.pop_back();
  return raiz;
}

Rutas calcularRutas(const std::string& home, const std::optional<std::string>& tildoConfig,
                    const std::string& programa, const std::string& directorioActual) {
  Rutas r;
  r.carpeta = tildoConfig ? *tildoConfig : home + "/.config/tildo";
  r.archivoAjustes = r.carpeta + "/ajustes.json";
  r.archivoPosicion = r.carpeta + "/barra-posicion.json";
  r.archivoCandado = r.carpeta + "/barra.lock";
  r.archivoOcultar = r.carpeta + "/barra-ocultar";
  r.archivoCerrada = r.carpeta + "/barra-cerrada";
  r.raizApp = raizDeApp(programa, directorioActual);
  r.carpetaAssets = r.raizApp + "/assets";
  return r;
}

Rutas rutasDelProceso(const std::string& programa) {
  std::optional<std::string> tildoConfig;
  if (const char* c = std::getenv("TILDO_CONFIG")) tildoConfig = c;
  return calcularRutas(directorioPersonal(), tildoConfig, caminoDelPrograma(programa),
                       directorioActual());
}

}  // namespace tildo::ui
