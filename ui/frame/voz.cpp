#include "ui/frame/voz.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "common/fallo.h"
#include "common/texto.h"

namespace tildo::ui {
namespace {

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

Dicho queDecir(const Argumentos& args) {
  Dicho d{args.bandera("--texto").value_or(unir(args.todos())), args.bandera("--voz")};
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

  // Started by hand rather than with posix_spawn, so that the child asks to be killed when we
  // die, by whatever signal: SIGKILL gives no chance to stop it. An exec that fails sends its
  // errno back through a pipe that a successful one closes.
  int aviso[2];
  if (pipe2(aviso, O_CLOEXEC) != 0) {
    sigprocmask(SIG_SETMASK, &anteriores, nullptr);
    fallo(std::string("no pude hablar: ") + std::strerror(errno), 1);
  }
  const pid_t padre = getpid();
  const pid_t pid = fork();
  if (pid == 0) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (getppid() != padre) _exit(127);
    // Nothing blocked, SIGTERM at its default; standard output goes to standard error, so
    // that nothing it prints mixes with our JSON lines.
    signal(SIGTERM, SIG_DFL);
    sigset_t vacio;
    sigemptyset(&vacio);
    sigprocmask(SIG_SETMASK, &vacio, nullptr);
    dup2(STDERR_FILENO, STDOUT_FILENO);
    if (programa.espeak)
      execvp(argv[0], argv.data());
    else
      execv(argv[0], argv.data());
    const int error = errno;
    [[maybe_unused]] auto n = write(aviso[1], &error, sizeof error);
    _exit(127);
  }
  close(aviso[1]);
  int error = pid < 0 ? errno : 0;
  if (pid > 0) {
    ssize_t n;
    while ((n = read(aviso[0], &error, sizeof error)) < 0 && errno == EINTR) {
    }
    if (n != static_cast<ssize_t>(sizeof error)) error = 0;
    if (error != 0) esperarHijo(pid);
  }
  close(aviso[0]);
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
