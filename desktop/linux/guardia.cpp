#include "desktop/linux/guardia.h"

#include <fcntl.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>

namespace tildo {
namespace {

// The guardian's life: it keeps nothing of the run but its end of the socket (the run's caller
// reads the run's output to its end, and the run's X connection must close when the run dies, or
// the keyboard's selection would never be let go), waits, and undoes what it was told if the run
// dies first.
[[noreturn]] void guardar(int socket, Guardia::Deshacer deshacer) {
  for (int senal : {SIGTERM, SIGINT, SIGHUP, SIGPIPE}) std::signal(senal, SIG_DFL);
  sigset_t ninguna;
  sigemptyset(&ninguna);
  sigprocmask(SIG_SETMASK, &ninguna, nullptr);
  prctl(PR_SET_NAME, "tildo-guardia", 0, 0, 0);
  // A caller that started the run with a standard descriptor closed may have left the socket on
  // it, where /dev/null goes next.
  if (socket < 3) {
    const int alto = ::fcntl(socket, F_DUPFD_CLOEXEC, 3);
    if (alto < 0) _exit(0);
    socket = alto;
  }
  const int nulo = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  for (int fd = 0; fd < 3; ++fd)
    if (nulo < 0 || ::dup2(nulo, fd) < 0) ::close(fd);
  if (socket > 3) ::close_range(3, unsigned(socket) - 1, 0);
  ::close_range(unsigned(socket) + 1, ~0U, 0);

  LectorDeAvisos lector;
  uint8_t bytes[256];
  while (true) {
    const ssize_t n = ::read(socket, bytes, sizeof bytes);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    if (lector.leer(bytes, size_t(n))) _exit(0);
  }
  ::close(socket);
  if (!lector.retenido().vacio()) {
    try {
      deshacer(lector.retenido());
    } catch (...) {
    }
  }
  _exit(0);
}

}  // namespace

bool LectorDeAvisos::leer(const uint8_t* bytes, size_t cuantos) {
  for (size_t i = 0; i < cuantos && !fin_; ++i) {
    if (pendiente_ < 0) {
      pendiente_ = bytes[i];
      continue;
    }
    const auto aviso = Aviso(pendiente_);
    const uint8_t detalle = bytes[i];
    pendiente_ = -1;
    switch (aviso) {
      case Aviso::BOTON:
        retenido_.botones.insert(detalle);
        break;
      case Aviso::TECLA:
        retenido_.teclas.insert(detalle);
        break;
      case Aviso::TECLADO:
        retenido_.teclado = true;
        break;
      case Aviso::FIN:
        fin_ = true;
        break;
    }
  }
  return fin_;
}

Guardia::Guardia(Deshacer deshacer) {
  int par[2];
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, par) != 0) return;
  const pid_t pid = ::fork();
  if (pid == 0) guardar(par[1], deshacer);
  ::close(par[1]);
  if (pid < 0) {
    ::close(par[0]);
    return;
  }
  socket_ = par[0];
  pid_ = pid;
}

Guardia::~Guardia() {
  if (socket_ < 0) return;
  avisar(Aviso::FIN);
  ::close(socket_);
  while (::waitpid(pid_, nullptr, 0) < 0 && errno == EINTR) {
  }
}

void Guardia::avisar(Aviso aviso, uint8_t detalle) {
  if (socket_ < 0 || !dichos_.insert(uint16_t(uint8_t(aviso) << 8 | detalle)).second) return;
  const uint8_t palabra[2] = {uint8_t(aviso), detalle};
  // A guardian already gone (its process group killed) must not take the run with it.
  [[maybe_unused]] auto n = ::send(socket_, palabra, sizeof palabra, MSG_NOSIGNAL);
}

}  // namespace tildo
