#include "desktop/wayland/ventanas_ajenas.h"

#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>
#include <wayland-client.h>

#include <algorithm>
#include <cstdlib>
#include <string_view>

#include "common/archivos.h"
#include "common/fallo.h"
#include "common/texto.h"
#include "desktop/x11/ventanas_x11.h"
#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

namespace tildo {

struct VentanasAjenas::Anunciada {
  zwlr_foreign_toplevel_handle_v1* mango = nullptr;
  VentanaCompositor datos;
  bool cerrada = false;
};

namespace {

using Anunciada = VentanasAjenas::Anunciada;

Anunciada& de(void* datos) {
  return *static_cast<Anunciada*>(datos);
}

void titulo(void* d, zwlr_foreign_toplevel_handle_v1*, const char* t) {
  de(d).datos.titulo = t;
}

void appId(void* d, zwlr_foreign_toplevel_handle_v1*, const char* id) {
  de(d).datos.appId = id;
}

void salida(void*, zwlr_foreign_toplevel_handle_v1*, wl_output*) {}

void estado(void* d, zwlr_foreign_toplevel_handle_v1*, wl_array* estados) {
  VentanaCompositor& v = de(d).datos;
  v.minimizada = v.enfocada = false;
  const auto* e = static_cast<const uint32_t*>(estados->data);
  for (size_t i = 0; i < estados->size / sizeof(uint32_t); ++i) {
    if (e[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_MINIMIZED) v.minimizada = true;
    if (e[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED) v.enfocada = true;
  }
  v.visible = !v.minimizada;
}

void hecho(void*, zwlr_foreign_toplevel_handle_v1*) {}

void cerrada(void* d, zwlr_foreign_toplevel_handle_v1*) {
  de(d).cerrada = true;
}

void padre(void*, zwlr_foreign_toplevel_handle_v1*, zwlr_foreign_toplevel_handle_v1*) {}

const zwlr_foreign_toplevel_handle_v1_listener OYENTE_VENTANA = {titulo, appId, salida,  salida,
                                                                 estado, hecho, cerrada, padre};

// The compositor's socket as an environment names it: WAYLAND_DISPLAY, under XDG_RUNTIME_DIR
// unless it is a path of its own.
std::string socketDe(const std::string& pantalla, const std::string& carpeta) {
  if (pantalla.empty() || pantalla.front() == '/') return pantalla;
  return carpeta + "/" + pantalla;
}

std::string variable(const char* nombre) {
  const char* v = std::getenv(nombre);
  return v ? v : "";
}

// The compositor socket the process's environment names; empty when it names none.
std::string socketDelProceso(long pid) {
  // An environment runs to some kilobytes; what lies past this is not looked at.
  constexpr size_t LARGO_ENTORNO = 256 * 1024;
  const auto entorno =
      leerPrincipio("/proc/" + std::to_string(pid) + "/environ", LARGO_ENTORNO).value_or("");
  std::string pantalla, carpeta;
  for (size_t i = 0; i < entorno.size();) {
    size_t fin = entorno.find('\0', i);
    if (fin == std::string::npos) fin = entorno.size();
    const std::string_view v(entorno.data() + i, fin - i);
    if (v.starts_with("WAYLAND_DISPLAY=")) pantalla = v.substr(16);
    if (v.starts_with("XDG_RUNTIME_DIR=")) carpeta = v.substr(16);
    i = fin + 1;
  }
  return socketDe(pantalla, carpeta);
}

}  // namespace

bool nombraAlPrograma(const std::string& appId, const std::string& programa) {
  if (appId.empty() || programa.empty()) return false;
  const std::string id = minusculas(appId), p = minusculas(programa);
  const size_t punto = id.rfind('.');
  return id == p ||
         (punto != std::string::npos && id.compare(punto + 1, std::string::npos, p) == 0);
}

std::unique_ptr<VentanasAjenas> VentanasAjenas::abrir(ConexionWayland& conexion) {
  auto* gestor = static_cast<zwlr_foreign_toplevel_manager_v1*>(
      conexion.ligar(zwlr_foreign_toplevel_manager_v1_interface, 3));
  if (!gestor) return nullptr;
  std::unique_ptr<VentanasAjenas> v(new VentanasAjenas(conexion, gestor));
  static const zwlr_foreign_toplevel_manager_v1_listener OYENTE = {
      [](void* datos, zwlr_foreign_toplevel_manager_v1*, zwlr_foreign_toplevel_handle_v1* mango) {
        auto* self = static_cast<VentanasAjenas*>(datos);
        auto a = std::make_unique<Anunciada>();
        a->mango = mango;
        a->datos.id = int64_t(self->anunciadas_.size()) + 1;
        a->datos.idPropio = false;
        zwlr_foreign_toplevel_handle_v1_add_listener(mango, &OYENTE_VENTANA, a.get());
        self->anunciadas_.push_back(std::move(a));
      },
      [](void*, zwlr_foreign_toplevel_manager_v1*) {}};
  zwlr_foreign_toplevel_manager_v1_add_listener(gestor, &OYENTE, v.get());
  return v;
}

VentanasAjenas::VentanasAjenas(ConexionWayland& conexion, zwlr_foreign_toplevel_manager_v1* gestor)
    : VentanasCompositor(conexion), gestor_(gestor) {}

VentanasAjenas::~VentanasAjenas() {
  for (auto& a : anunciadas_) zwlr_foreign_toplevel_handle_v1_destroy(a->mango);
  zwlr_foreign_toplevel_manager_v1_stop(gestor_);
  zwlr_foreign_toplevel_manager_v1_destroy(gestor_);
}

std::vector<VentanaCompositor> VentanasAjenas::todas() {
  // The windows come with the first answer after binding, what each says of itself with them;
  // every later answer brings what changed.
  conexion_.confirmar();
  std::vector<VentanaCompositor> lista;
  for (auto it = anunciadas_.rbegin(); it != anunciadas_.rend(); ++it) {
    if ((*it)->cerrada) continue;
    VentanaCompositor v = (*it)->datos;
    int32_t unico = 0;
    int cuantos = 0;
    for (const auto& [pid, programa] : procesos())
      if (nombraAlPrograma(v.appId, programa)) {
        unico = pid;
        ++cuantos;
      }
    if (cuantos == 1) v.pid = unico;
    lista.push_back(std::move(v));
  }
  std::stable_partition(lista.begin(), lista.end(),
                        [](const VentanaCompositor& v) { return v.enfocada; });
  return lista;
}

bool VentanasAjenas::esDe(const VentanaCompositor& v, int32_t pid) {
  if (v.pid) return *v.pid == pid;
  const auto programa = nombreDeProceso(pid);
  return programa && nombraAlPrograma(v.appId, *programa);
}

VentanasAjenas::Anunciada* VentanasAjenas::anunciada(int64_t id) {
  for (auto& a : anunciadas_)
    if (a->datos.id == id && !a->cerrada) return a.get();
  return nullptr;
}

bool VentanasAjenas::enfocar(int64_t id) {
  Anunciada* a = anunciada(id);
  if (!a) return false;
  if (a->datos.minimizada) zwlr_foreign_toplevel_handle_v1_unset_minimized(a->mango);
  zwlr_foreign_toplevel_handle_v1_activate(a->mango, conexion_.asiento());
  conexion_.confirmar();
  return true;
}

bool VentanasAjenas::minimizar(int64_t id, bool minimizada) {
  Anunciada* a = anunciada(id);
  if (!a) return false;
  if (a->datos.minimizada == minimizada) return true;
  if (minimizada)
    zwlr_foreign_toplevel_handle_v1_set_minimized(a->mango);
  else
    zwlr_foreign_toplevel_handle_v1_unset_minimized(a->mango);
  // The compositor says the new state, if it takes the request, with its answer.
  conexion_.confirmar();
  return a->datos.minimizada == minimizada;
}

bool VentanasAjenas::colocar(int64_t, std::optional<Punto>, std::optional<Medidas>) {
  fallo("este compositor Wayland no deja a los programas colocar ventanas");
}

const std::vector<std::pair<int32_t, std::string>>& VentanasAjenas::procesos() {
  if (procesos_) return *procesos_;
  procesos_.emplace();
  DIR* d = opendir("/proc");
  if (!d) return *procesos_;
  const uid_t yo = getuid();
  // Only the processes of this session: the same program may run on another display too.
  const std::string nuestro = socketDe(variable("WAYLAND_DISPLAY"), variable("XDG_RUNTIME_DIR"));
  while (const dirent* e = readdir(d)) {
    char* fin = nullptr;
    const long pid = std::strtol(e->d_name, &fin, 10);
    if (pid <= 0 || *fin || pid == getpid()) continue;
    struct stat datos;
    const std::string ruta = std::string("/proc/") + e->d_name;
    if (stat(ruta.c_str(), &datos) != 0 || datos.st_uid != yo) continue;
    if (socketDelProceso(pid) != nuestro) continue;
    if (auto programa = nombreDeProceso(int32_t(pid))) procesos_->emplace_back(pid, *programa);
  }
  closedir(d);
  return *procesos_;
}

}  // namespace tildo
