#include "desktop/wayland/sway.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <map>

namespace tildo {
namespace {

constexpr char MAGIA[] = "i3-ipc";
constexpr size_t CABECERA = 6 + 4 + 4;
// A tree of many windows runs to some hundred kilobytes; nothing sane comes near this.
constexpr uint32_t LIMITE_RESPUESTA = 64 * 1024 * 1024;

bool escribirTodo(int fd, const std::string& bytes) {
  for (size_t hecho = 0; hecho < bytes.size();) {
    const ssize_t n = send(fd, bytes.data() + hecho, bytes.size() - hecho, MSG_NOSIGNAL);
    if (n <= 0) return false;
    hecho += size_t(n);
  }
  return true;
}

bool leerTodo(int fd, char* destino, size_t largo) {
  for (size_t hecho = 0; hecho < largo;) {
    const ssize_t n = read(fd, destino + hecho, largo - hecho);
    if (n <= 0) return false;
    hecho += size_t(n);
  }
  return true;
}

std::optional<Rect> rectangulo(const Json& nodo, const char* clave) {
  auto r = nodo.find(clave);
  if (r == nodo.end() || !r->is_object()) return std::nullopt;
  const auto n = [&](const char* k) { return r->value(k, 0.0); };
  return Rect{n("x"), n("y"), n("width"), n("height")};
}

std::string cadena(const Json& nodo, const char* clave) {
  auto v = nodo.find(clave);
  return v != nodo.end() && v->is_string() ? v->get<std::string>() : "";
}

// Children in the order focus last visited them; those focus never reached keep the tree's.
std::vector<const Json*> hijosPorFoco(const Json& nodo) {
  std::vector<const Json*> hijos;
  for (const char* clave : {"nodes", "floating_nodes"})
    if (auto l = nodo.find(clave); l != nodo.end() && l->is_array())
      for (const Json& h : *l) hijos.push_back(&h);
  std::map<int64_t, size_t> orden;
  if (auto f = nodo.find("focus"); f != nodo.end() && f->is_array())
    for (const Json& id : *f)
      if (id.is_number_integer()) orden.emplace(id.get<int64_t>(), orden.size());
  std::stable_sort(hijos.begin(), hijos.end(), [&](const Json* a, const Json* b) {
    const auto rango = [&](const Json* h) {
      auto it = orden.find(h->value("id", int64_t(-1)));
      return it == orden.end() ? orden.size() : it->second;
    };
    return rango(a) < rango(b);
  });
  return hijos;
}

void recorrer(const Json& nodo, bool guardada, std::vector<VentanaCompositor>& ventanas) {
  if (!nodo.is_object()) return;
  const std::string tipo = cadena(nodo, "type");
  if (tipo == "workspace" && cadena(nodo, "name") == "__i3_scratch") guardada = true;
  // A window is a container with a surface, which sway says by naming its shell.
  if ((tipo == "con" || tipo == "floating_con") && nodo.contains("shell")) {
    VentanaCompositor v;
    v.id = nodo.value("id", int64_t(0));
    if (auto p = nodo.find("pid");
        p != nodo.end() && p->is_number_integer() && p->get<int64_t>() > 0)
      v.pid = p->get<int32_t>();
    v.titulo = cadena(nodo, "name");
    v.appId = cadena(nodo, "app_id");
    if (v.appId.empty())
      if (auto w = nodo.find("window_properties"); w != nodo.end() && w->is_object())
        v.appId = cadena(*w, "class");
    // sway's rect leaves out the title bar it draws above the window; the user sees both.
    Rect marco = rectangulo(nodo, "rect").value_or(Rect{});
    // The surface's place is given from the container's corner.
    if (const auto dentro = rectangulo(nodo, "window_rect"))
      v.contenido = Rect{marco.x + dentro->x, marco.y + dentro->y, dentro->ancho, dentro->alto};
    if (const auto barra = rectangulo(nodo, "deco_rect"); barra && barra->alto > 0) {
      marco.y -= barra->alto;
      marco.alto += barra->alto;
    }
    v.marco = marco;
    v.visible = nodo.value("visible", false) && !guardada;
    v.enfocada = nodo.value("focused", false);
    v.minimizada = guardada;
    ventanas.push_back(std::move(v));
    return;
  }
  for (const Json* h : hijosPorFoco(nodo)) recorrer(*h, guardada, ventanas);
}

// Whole pixels, as sway's commands take them.
std::string pixeles(double v) {
  return std::to_string(static_cast<long long>(std::llround(v)));
}

}  // namespace

std::unique_ptr<Sway> Sway::conectar() {
  const char* ruta = std::getenv("SWAYSOCK");
  if (!ruta || !*ruta) return nullptr;
  sockaddr_un direccion{};
  direccion.sun_family = AF_UNIX;
  if (std::strlen(ruta) >= sizeof direccion.sun_path) return nullptr;
  std::strcpy(direccion.sun_path, ruta);
  const int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return nullptr;
  if (connect(fd, reinterpret_cast<sockaddr*>(&direccion), sizeof direccion) != 0) {
    close(fd);
    return nullptr;
  }
  return std::unique_ptr<Sway>(new Sway(fd));
}

Sway::~Sway() {
  close(fd_);
}

std::optional<Json> Sway::pedir(uint32_t tipo, const std::string& carga) {
  std::string mensaje(MAGIA, 6);
  const uint32_t largo = uint32_t(carga.size());
  mensaje.append(reinterpret_cast<const char*>(&largo), 4);
  mensaje.append(reinterpret_cast<const char*>(&tipo), 4);
  mensaje += carga;
  if (!escribirTodo(fd_, mensaje)) return std::nullopt;
  char cabecera[CABECERA];
  if (!leerTodo(fd_, cabecera, CABECERA) || std::memcmp(cabecera, MAGIA, 6) != 0)
    return std::nullopt;
  uint32_t largoRespuesta = 0, tipoRespuesta = 0;
  std::memcpy(&largoRespuesta, cabecera + 6, 4);
  std::memcpy(&tipoRespuesta, cabecera + 10, 4);
  if (tipoRespuesta != tipo || largoRespuesta > LIMITE_RESPUESTA) return std::nullopt;
  std::string cuerpo(largoRespuesta, '\0');
  if (!leerTodo(fd_, cuerpo.data(), cuerpo.size())) return std::nullopt;
  Json respuesta = Json::parse(cuerpo, nullptr, false);
  if (respuesta.is_discarded()) return std::nullopt;
  return respuesta;
}

bool Sway::ordenar(const std::string& orden) {
  const auto respuesta = pedir(ORDEN, orden);
  if (!respuesta || !respuesta->is_array() || respuesta->empty()) return false;
  for (const Json& r : *respuesta)
    if (!r.is_object() || !r.value("success", false)) return false;
  return true;
}

std::vector<VentanaCompositor> ventanasDelArbol(const Json& arbol) {
  std::vector<VentanaCompositor> ventanas;
  recorrer(arbol, false, ventanas);
  return ventanas;
}

std::vector<VentanaCompositor> VentanasSway::todas() {
  const auto arbol = sway_.pedir(Sway::ARBOL);
  return arbol ? ventanasDelArbol(*arbol) : std::vector<VentanaCompositor>{};
}

bool VentanasSway::ordenar(int64_t id, const std::string& orden) {
  return sway_.ordenar("[con_id=" + std::to_string(id) + "] " + orden);
}

bool VentanasSway::enfocar(int64_t id) {
  return ordenar(id, "focus");
}

bool VentanasSway::minimizar(int64_t id, bool minimizada) {
  const auto v = ventana(id);
  if (!v) return false;
  if (minimizada) return v->minimizada || ordenar(id, "move scratchpad");
  return !v->minimizada || ordenar(id, "scratchpad show");
}

// A window sway tiles has its place and size from the layout: placing it floats it first.
bool VentanasSway::colocar(int64_t id, std::optional<Punto> esquina,
                           std::optional<Medidas> medidas) {
  if (esquina)
    return ordenar(id, "floating enable, move absolute position " + pixeles(esquina->x) + " px " +
                           pixeles(esquina->y) + " px");
  if (medidas)
    return ordenar(id, "floating enable, resize set width " + pixeles(medidas->ancho) +
                           " px height " + pixeles(medidas->alto) + " px");
  return false;
}

}  // namespace tildo
