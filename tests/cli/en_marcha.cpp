#include "en_marcha.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <stdexcept>
#include <thread>

#include "common/archivos.h"
#include "programa.h"

namespace tildo::prueba {
namespace {

using Reloj = std::chrono::steady_clock;

int milisegundosHasta(Reloj::time_point fin) {
  const auto quedan = std::chrono::duration_cast<std::chrono::milliseconds>(fin - Reloj::now());
  return quedan.count() > 0 ? static_cast<int>(quedan.count()) : 0;
}

// In a child just forked: sets the variables (an empty value unsets it) and replaces the
// process with the program; exits with 127 when it cannot be started.
[[noreturn]] void ejecutarConEntorno(const std::string& ruta, const std::vector<std::string>& args,
                                     const std::map<std::string, std::string>& entorno) {
  for (const auto& [k, v] : entorno) {
    if (v.empty())
      unsetenv(k.c_str());
    else
      setenv(k.c_str(), v.c_str(), 1);
  }
  std::vector<char*> argv{const_cast<char*>(ruta.c_str())};
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(ruta.c_str(), argv.data());
  _exit(127);
}

}  // namespace

EnMarcha::EnMarcha(const std::string& programa, const std::vector<std::string>& args,
                   const std::map<std::string, std::string>& entorno, bool conEntrada) {
  char plantilla[] = "/tmp/tildo-en-marcha-XXXXXX";
  const int err = mkstemp(plantilla);
  archivoErrores_ = plantilla;
  int in[2] = {-1, -1}, out[2] = {-1, -1};
  const std::string ruta =
      programa.find('/') == std::string::npos ? carpetaDeProgramas() + "/" + programa : programa;
  // Out of descriptors or processes the test stops here: a pid of -1 would make fin() reap any
  // child of the test, and a signal to it would go to every process of the user.
  if ((conEntrada && pipe(in)) || pipe(out) || (pid_ = fork()) < 0) {
    const std::string error = std::strerror(errno);
    for (const int fd : {in[0], in[1], out[0], out[1], err})
      if (fd >= 0) close(fd);
    unlink(plantilla);
    throw std::runtime_error("no pude lanzar " + programa + ": " + error);
  }
  if (pid_ == 0) {
    const int nulo = open("/dev/null", O_RDONLY);
    dup2(conEntrada ? in[0] : nulo, 0);
    dup2(out[1], 1);
    dup2(err, 2);
    closefrom(3);
    ejecutarConEntorno(ruta, args, entorno);
  }
  close(err);
  close(out[1]);
  salida_ = out[0];
  if (conEntrada) {
    close(in[0]);
    entrada_ = in[1];
  }
}

EnMarcha::~EnMarcha() {
  if (pid_ > 0 && !estado_) {
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
  }
  cerrarEntrada();
  if (salida_ >= 0) close(salida_);
  unlink(archivoErrores_.c_str());
}

void EnMarcha::escribir(const std::string& linea) {
  const std::string bytes = linea + "\n";
  if (write(entrada_, bytes.data(), bytes.size()) != static_cast<ssize_t>(bytes.size())) return;
  // The reader takes its orders as soon as they are in the pipe: nothing left there means read.
  const auto fin = Reloj::now() + 5s;
  int quedan = 1;
  while (ioctl(entrada_, FIONREAD, &quedan) == 0 && quedan > 0 && Reloj::now() < fin)
    std::this_thread::sleep_for(1ms);
}

void EnMarcha::enviar(const std::string& bytes) {
  for (size_t hecho = 0; hecho < bytes.size();) {
    const ssize_t n = write(entrada_, bytes.data() + hecho, bytes.size() - hecho);
    if (n <= 0) return;
    hecho += static_cast<size_t>(n);
  }
}

void EnMarcha::cerrarEntrada() {
  if (entrada_ >= 0) close(entrada_);
  entrada_ = -1;
}

std::optional<std::string> EnMarcha::linea(std::chrono::milliseconds limite) {
  const auto fin = Reloj::now() + limite;
  while (true) {
    const auto salto = pendiente_.find('\n');
    if (salto != std::string::npos) {
      std::string l = pendiente_.substr(0, salto);
      pendiente_.erase(0, salto + 1);
      return l;
    }
    pollfd fd{salida_, POLLIN, 0};
    if (poll(&fd, 1, milisegundosHasta(fin)) <= 0) return std::nullopt;
    char buf[4096];
    const ssize_t n = read(salida_, buf, sizeof buf);
    if (n <= 0) return std::nullopt;
    pendiente_.append(buf, static_cast<size_t>(n));
  }
}

std::string EnMarcha::resto() {
  std::string todo = std::move(pendiente_);
  pendiente_.clear();
  char buf[4096];
  for (ssize_t n; (n = read(salida_, buf, sizeof buf)) > 0;)
    todo.append(buf, static_cast<size_t>(n));
  return todo;
}

std::optional<int> EnMarcha::fin(std::chrono::milliseconds limite) {
  const auto hasta = Reloj::now() + limite;
  while (!estado_) {
    int crudo = 0;
    rusage uso{};
    if (wait4(pid_, &crudo, WNOHANG, &uso) == pid_) {
      memoriaMaximaKb_ = uso.ru_maxrss;
      porSenal_ = WIFSIGNALED(crudo);
      estado_ = porSenal_ ? 128 + WTERMSIG(crudo) : WEXITSTATUS(crudo);
    } else if (Reloj::now() >= hasta) {
      break;
    } else {
      std::this_thread::sleep_for(1ms);
    }
  }
  return estado_;
}

std::string EnMarcha::errores() const {
  return leerArchivo(archivoErrores_).value_or("");
}

}  // namespace tildo::prueba
