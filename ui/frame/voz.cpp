#include "ui/frame/voz.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/fallo.h"
#include "common/texto.h"

extern char** environ;

namespace tildo::ui {
namespace {

std::string unir(const Args& args) {
  std::string texto;
  for (size_t i = 0; i < args.size(); ++i) {
    if (i) texto += ' ';
    texto += args[i];
  }
  return texto;
}

// The speech program's termination status: its exit code, or the signal that ended it.
int estadoDeFin(int estado) {
  return WIFEXITED(estado) ? WEXITSTATUS(estado) : WTERMSIG(estado);
}

int esperarHijo(pid_t pid) {
  int estado = 0;
  while (waitpid(pid, &estado, 0) < 0 && errno == EINTR) {
  }
  return estado;
}

}  // namespace

Dicho queDecir(const Args& args) {
  Dicho d{bandera(args, "--texto").value_or(unir(args)), bandera(args, "--voz")};
  if (recortarEspacios(d.texto).empty()) fallo("decir necesita --texto", 1);
  return d;
}

ProgramaDeVoz programaDeVoz() {
  if (const char* propio = std::getenv("TILDO_VOZ_PROGRAMA")) return {propio, false};
  if (access("/usr/bin/say", X_OK) == 0) return {"/usr/bin/say", false};
  return {"espeak-ng", true};
}

std::vector<std::string> argumentosDeVoz(const std::string& texto,
                                         const std::optional<std::string>& voz, bool espeak) {
  const std::string dicho = primerosGrafemas(texto, 300);
  std::vector<std::string> opciones;
  if (voz && !voz->empty()) opciones = {"-v", *voz};
  if (!espeak) {
    std::vector<std::string> args{dicho};
    args.insert(args.end(), opciones.begin(), opciones.end());
    return args;
  }
  opciones.push_back("--");
  opciones.push_back(dicho);
  return opciones;
}

Json lineaDeDicho(int codigo, const std::string& texto) {
  return {{"codigo", codigo}, {"dicho", primerosGrafemas(texto, 120)}, {"ok", true}};
}

void decir(const std::string& texto, const std::optional<std::string>& voz) {
  const ProgramaDeVoz programa = programaDeVoz();
  std::vector<std::string> args = argumentosDeVoz(texto, voz, programa.espeak);
  args.insert(args.begin(), programa.ruta);
  std::vector<char*> argv;
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  // SIGTERM and SIGCHLD are blocked before the child exists and taken with sigwaitinfo, so
  // neither can slip in between starting the child and waiting for it. SIGCHLD must be at its
  // default: a caller that ignores it would have the child reaped behind our back.
  signal(SIGCHLD, SIG_DFL);
  sigset_t senales;
  sigemptyset(&senales);
  sigaddset(&senales, SIGTERM);
  sigaddset(&senales, SIGCHLD);
  sigset_t anteriores;
  sigprocmask(SIG_BLOCK, &senales, &anteriores);

  // The child starts with nothing blocked and SIGTERM at its default; its standard output
  // goes to standard error, so that nothing it prints mixes with our JSON lines.
  posix_spawnattr_t atributos;
  posix_spawnattr_init(&atributos);
  sigset_t vacio;
  sigemptyset(&vacio);
  posix_spawnattr_setsigmask(&atributos, &vacio);
  sigset_t porDefecto;
  sigemptyset(&porDefecto);
  sigaddset(&porDefecto, SIGTERM);
  sigaddset(&porDefecto, SIGCHLD);
  posix_spawnattr_setsigdefault(&atributos, &porDefecto);
  posix_spawnattr_setflags(&atributos, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
  posix_spawn_file_actions_t acciones;
  posix_spawn_file_actions_init(&acciones);
  posix_spawn_file_actions_adddup2(&acciones, STDERR_FILENO, STDOUT_FILENO);

  pid_t pid = -1;
  const int error = programa.espeak
                        ? posix_spawnp(&pid, argv[0], &acciones, &atributos, argv.data(), environ)
                        : posix_spawn(&pid, argv[0], &acciones, &atributos, argv.data(), environ);
  posix_spawn_file_actions_destroy(&acciones);
  posix_spawnattr_destroy(&atributos);
  if (error != 0) {
    sigprocmask(SIG_SETMASK, &anteriores, nullptr);
    fallo(std::string("no pude hablar: ") + std::strerror(error), 1);
  }

  for (;;) {
    siginfo_t info{};
    if (sigwaitinfo(&senales, &info) < 0) continue;
    if (info.si_signo == SIGTERM) {
      kill(pid, SIGKILL);
      esperarHijo(pid);
      std::_Exit(0);
    }
    int estado = 0;
    if (waitpid(pid, &estado, WNOHANG) == pid) {
      escribirLinea(lineaDeDicho(estadoDeFin(estado), texto));
      std::exit(0);
    }
  }
}

}  // namespace tildo::ui
