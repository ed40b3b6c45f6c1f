#include "escritorio_real.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <sstream>
#include <thread>

#include "common/archivos.h"
#include "pantalla_x.h"

namespace tildo::prueba {
namespace {

pid_t lanzar(const std::vector<std::string>& orden, const std::string& salida,
             const std::string& errores) {
  const pid_t pid = fork();
  if (pid != 0) return pid;
  const int nulo = open("/dev/null", O_RDONLY);
  const int out = open(salida.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  const int err = open(errores.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
  dup2(nulo, 0);
  dup2(out, 1);
  dup2(err, 2);
  std::vector<char*> argv;
  for (const auto& a : orden) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execvp(argv[0], argv.data());
  _exit(127);
}

int estadoDe(int crudo) {
  return WIFEXITED(crudo) ? WEXITSTATUS(crudo) : 128 + WTERMSIG(crudo);
}

std::string titulo(const PantallaX& x, Window w) {
  const std::string nombre = x.texto(w, "_NET_WM_NAME", XInternAtom(x.d(), "UTF8_STRING", False));
  return nombre.empty() ? x.texto(w, "WM_NAME", XA_STRING) : nombre;
}

}  // namespace

CarpetaTemporal::CarpetaTemporal() {
  char plantilla[] = "/tmp/tildo-prueba-XXXXXX";
  ruta_ = mkdtemp(plantilla);
}

CarpetaTemporal::~CarpetaTemporal() {
  std::filesystem::remove_all(ruta_);
}

Aplicacion::Aplicacion(const std::vector<std::string>& orden) {
  pid_ = lanzar(orden, carpeta_ / "salida", carpeta_ / "errores");
}

Aplicacion::~Aplicacion() {
  terminar();
}

std::optional<int> Aplicacion::esperarFin(std::chrono::milliseconds limite) {
  hasta(limite, [&] {
    if (estado_) return true;
    int crudo = 0;
    if (waitpid(pid_, &crudo, WNOHANG) == pid_) estado_ = estadoDe(crudo);
    return estado_.has_value();
  });
  return estado_;
}

void Aplicacion::terminar() {
  if (estado_ || pid_ <= 0) return;
  kill(pid_, SIGTERM);
  if (!esperarFin(2s)) {
    kill(pid_, SIGKILL);
    esperarFin(2s);
  }
}

std::string Aplicacion::salida() const {
  return leerArchivo(carpeta_ / "salida").value_or("");
}

std::string Aplicacion::errores() const {
  return leerArchivo(carpeta_ / "errores").value_or("");
}

std::vector<Json> lineasJson(const std::string& salida) {
  std::vector<Json> l;
  for (size_t i = 0, fin; (fin = salida.find('\n', i)) != std::string::npos; i = fin + 1)
    l.push_back(Json::parse(salida.substr(i, fin - i), nullptr, false));
  return l;
}

Json primeraLinea(const Aplicacion& app, std::chrono::milliseconds limite) {
  Json linea;
  hasta(limite, [&] {
    const auto l = lineasJson(app.salida());
    if (!l.empty()) linea = l[0];
    return !l.empty();
  });
  return linea;
}

std::vector<std::string> lineasHastaListo(const Aplicacion& app) {
  std::vector<std::string> lineas;
  if (hasta(
          10s,
          [&] {
            std::istringstream salida(app.salida());
            lineas.clear();
            for (std::string l; std::getline(salida, l);) lineas.push_back(l);
            return !lineas.empty() && lineas.back() == "listo";
          },
          50ms))
    return lineas;
  ADD_FAILURE() << "no dijo «listo»: " << app.errores();
  return {};
}

unsigned long esperarVentana(const std::string& buscado, std::chrono::milliseconds limite) {
  const PantallaX x;
  if (!x.d()) return 0;
  Window hallada = 0;
  hasta(limite, [&] {
    for (Window w : x.propiedad(x.raiz(), "_NET_CLIENT_LIST", XA_WINDOW))
      if (titulo(x, w) == buscado) hallada = w;
    return hallada != 0;
  });
  return hallada;
}

bool esperarFoco(unsigned long ventana, std::chrono::milliseconds limite) {
  const PantallaX x;
  if (!x.d()) return false;
  return hasta(limite, [&] {
    return x.propiedad(x.raiz(), "_NET_ACTIVE_WINDOW", XA_WINDOW) ==
           std::vector<unsigned long>{ventana};
  });
}

DialogoEntrada::DialogoEntrada(const std::string& titulo)
    : app_({"zenity", "--entry", "--title=" + titulo, "--text=Escribe"}) {
  const unsigned long w = esperarVentana(titulo);
  if (w && esperarFoco(w)) ventana_ = w;
}

namespace {

std::vector<std::string> ordenDeXvfb(const std::vector<std::string>& args) {
  std::vector<std::string> orden{"Xvfb", "-displayfd", "1", "-nolisten", "tcp"};
  orden.insert(orden.end(), args.begin(), args.end());
  return orden;
}

}  // namespace

PantallaPropia::PantallaPropia(const std::vector<std::string>& args) : xvfb_(ordenDeXvfb(args)) {
  std::string numero;
  if (hasta(5s, [&] { return (numero = xvfb_.salida()).find('\n') != std::string::npos; }))
    nombre_ = ":" + numero.substr(0, numero.find('\n'));
}

void PantallaPropia::quitar() {
  kill(xvfb_.pid(), SIGKILL);
  xvfb_.esperarFin();
}

namespace {

std::string archivoTemporal() {
  char plantilla[] = "/tmp/tildo-registro-XXXXXX";
  const int fd = mkstemp(plantilla);
  if (fd >= 0) close(fd);
  return plantilla;
}

bool empiezaPor(const std::string& linea, const std::string& prefijo) {
  return linea.rfind(prefijo, 0) == 0;
}

}  // namespace

ClienteRegistro::ClienteRegistro()
    : archivo_(archivoTemporal()), app_({CLIENTE_REGISTRO, archivo_}) {
  hasta(5s, [&] { return listo(); });
}

ClienteRegistro::~ClienteRegistro() {
  std::filesystem::remove(archivo_);
}

bool ClienteRegistro::listo() const {
  return app_.salida() == "listo\n";
}

std::vector<std::string> ClienteRegistro::lineas(const std::string& tipo, size_t minimo) const {
  std::vector<std::string> halladas;
  hasta(3s, [&] {
    halladas.clear();
    std::istringstream texto(leerArchivo(archivo_).value_or(""));
    for (std::string l; std::getline(texto, l);)
      if (empiezaPor(l, tipo)) halladas.push_back(l);
    return halladas.size() >= minimo;
  });
  return halladas;
}

std::vector<std::string> ClienteRegistro::botones(size_t minimo) const {
  std::vector<std::string> halladas;
  hasta(3s, [&] {
    halladas.clear();
    for (const auto& l : lineas())
      if (empiezaPor(l, "pulsado") || empiezaPor(l, "soltado")) halladas.push_back(l);
    return halladas.size() >= minimo;
  });
  return halladas;
}

Salida ax(const std::vector<std::string>& args, const std::string& entrada) {
  return correr("tildo-ax", args, {{"TILDO_ESCRITORIO", ""}, {"TILDO_REGISTRO", ""}}, entrada);
}

EnMarcha axEnMarcha(const std::vector<std::string>& args) {
  return EnMarcha("tildo-ax", args, {{"TILDO_ESCRITORIO", ""}, {"TILDO_REGISTRO", ""}}, false);
}

std::vector<pid_t> hijos(pid_t pid) {
  const auto p = std::to_string(pid);
  std::istringstream lista(leerArchivo("/proc/" + p + "/task/" + p + "/children").value_or(""));
  std::vector<pid_t> pids;
  for (pid_t hijo; lista >> hijo;) pids.push_back(hijo);
  return pids;
}

bool vivo(pid_t pid) {
  const auto estado = leerArchivo("/proc/" + std::to_string(pid) + "/stat");
  if (!estado) return false;
  // The state follows the name, which is in parentheses and may hold any character.
  const auto fin = estado->rfind(')');
  return fin != std::string::npos && estado->substr(fin + 2, 1) != "Z";
}

void sinErrores(const Salida& s) {
  EXPECT_EQ(s.stderr_, "");
  EXPECT_EQ(s.codigo, 0) << s.stdout_;
}

Salida axEnCentro(const std::string& orden, const Json& elemento) {
  auto coordenada = [&](const char* c) {
    return elemento.is_object() && elemento.contains(c) ? elemento[c].dump() : "?";
  };
  return ax({orden, coordenada("cx"), coordenada("cy")});
}

Json axHasta(const std::vector<std::string>& args, const std::function<bool(const Json&)>& basta,
             std::chrono::milliseconds limite, std::chrono::milliseconds paso) {
  Json r;
  hasta(
      limite,
      [&] {
        const Salida s = ax(args);
        EXPECT_EQ(s.stderr_, "");
        r = s.json();
        return basta(r);
      },
      paso);
  return r;
}

Json primerHallado(const std::vector<std::string>& args, std::chrono::milliseconds limite) {
  const Json r = axHasta(
      args, [](const Json& f) { return f.value("total", 0) > 0; }, limite);
  return r.value("total", 0) > 0 ? r["elementos"][0] : Json::object();
}

int sistema(const std::vector<std::string>& orden) {
  const CarpetaTemporal carpeta;
  const pid_t pid = lanzar(orden, carpeta / "salida", carpeta / "errores");
  int crudo = 0;
  waitpid(pid, &crudo, 0);
  return estadoDe(crudo);
}

std::optional<bool> interruptorDeAccesibilidad(const std::string& nombre) {
  Aplicacion lectura({"dbus-send", "--session", "--print-reply=literal", "--dest=org.a11y.Bus",
                      "/org/a11y/bus", "org.freedesktop.DBus.Properties.Get",
                      "string:org.a11y.Status", "string:" + nombre});
  if (lectura.esperarFin() != 0) return std::nullopt;
  const std::string s = lectura.salida();
  if (s.find("boolean true") != std::string::npos) return true;
  if (s.find("boolean false") != std::string::npos) return false;
  return std::nullopt;
}

void principalALaDerecha() {
  const PantallaX x;
  Display* d = x.d();
  const Window raiz = x.raiz();
  XRRMonitorInfo* izquierdo = XRRAllocateMonitor(d, 0);
  izquierdo->name = XInternAtom(d, "IZQUIERDO", False);
  izquierdo->x = 0, izquierdo->y = 0, izquierdo->width = 640, izquierdo->height = 800;
  izquierdo->mwidth = 160, izquierdo->mheight = 200;
  XRRMonitorInfo* derecho = XRRAllocateMonitor(d, 0);
  *derecho = *izquierdo;
  derecho->name = XInternAtom(d, "DERECHO", False);
  derecho->x = 640, derecho->y = 100, derecho->height = 700, derecho->primary = True;
  XRRSetMonitor(d, raiz, izquierdo);
  XRRSetMonitor(d, raiz, derecho);
  XSync(d, False);
  XFree(izquierdo);
  XFree(derecho);
}

}  // namespace tildo::prueba
