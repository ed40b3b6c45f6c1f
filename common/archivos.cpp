#include "common/archivos.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <random>

namespace tildo {

bool escribirTodo(int fd, std::string_view contenido) {
  while (!contenido.empty()) {
    const ssize_t n = ::write(fd, contenido.data(), contenido.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    contenido.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

namespace {

std::string motivoDeErrno(int error) {
  switch (error) {
    case ENOENT:
      return "no existe";
    case EACCES:
    case EPERM:
      return "no tengo permiso para leerlo";
    case EISDIR:
      return "es un directorio";
    case ELOOP:
      return "es un enlace que no lleva a ningún archivo";
    default:
      return "no se puede leer";
  }
}

std::string motivoDeTipo(mode_t modo) {
  if (S_ISDIR(modo)) return "es un directorio";
  if (S_ISFIFO(modo)) return "es una tubería (FIFO), no un archivo";
  if (S_ISCHR(modo) || S_ISBLK(modo)) return "es un dispositivo, no un archivo";
  return "no es un archivo normal";
}

std::string demasiadoLargo(size_t limite) {
  if (limite >= 1024 * 1024) return "pasa de " + std::to_string(limite / (1024 * 1024)) + " MB";
  return "pasa de " + std::to_string(limite) + " bytes";
}

std::string nombreTemporal(const std::string& ruta) {
  static std::atomic<unsigned> contador{0};
  static const unsigned semilla = std::random_device{}();
  return ruta + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(semilla) + "-" +
         std::to_string(contador++);
}

}  // namespace

std::optional<std::string> leerDescriptor(int fd, size_t limite) {
  std::string contenido;
  char buf[65536];
  for (;;) {
    // One byte past the limit tells a file of exactly the limit from a longer one.
    const size_t falta = limite + 1 - contenido.size();
    const ssize_t n = ::read(fd, buf, std::min(sizeof buf, falta));
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) return contenido;
    contenido.append(buf, static_cast<size_t>(n));
    if (contenido.size() > limite) {
      errno = EFBIG;
      return std::nullopt;
    }
  }
}

LectorDeLineas::LectorDeLineas(int fd, size_t limite) : fd(fd), limite(limite) {}

std::optional<LectorDeLineas::Linea> LectorDeLineas::siguiente() {
  for (;;) {
    const size_t salto = pendiente.find('\n', buscado);
    if (salto != std::string::npos) {
      Linea linea;
      linea.demasiadoLarga = descartando || salto > limite;
      if (!linea.demasiadoLarga) linea.texto = pendiente.substr(0, salto);
      pendiente.erase(0, salto + 1);
      buscado = 0;
      descartando = false;
      return linea;
    }
    if (descartando || pendiente.size() > limite) {
      descartando = true;
      pendiente.clear();
    }
    buscado = pendiente.size();
    if (terminado) {
      if (pendiente.empty() && !descartando) return std::nullopt;
      Linea ultima{descartando ? std::string() : std::move(pendiente), descartando};
      pendiente.clear();
      buscado = 0;
      descartando = false;
      return ultima;
    }
    // Never more than one byte past the limit at a time, so that what is held stays bounded.
    char buf[65536];
    const ssize_t n = ::read(fd, buf, std::min(sizeof buf, limite + 1));
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      terminado = true;
      continue;
    }
    pendiente.append(buf, static_cast<size_t>(n));
  }
}

Lectura leerArchivoExplicado(const std::string& ruta, size_t limite) {
  // Non-blocking, so that a FIFO opens at once instead of waiting for a writer; the type is
  // checked before anything is read.
  const int fd = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return {std::nullopt, motivoDeErrno(errno)};
  Lectura lectura;
  struct stat estado;
  if (::fstat(fd, &estado) != 0) {
    lectura.motivo = "no se puede leer";
  } else if (!S_ISREG(estado.st_mode)) {
    lectura.motivo = motivoDeTipo(estado.st_mode);
  } else if (static_cast<uint64_t>(estado.st_size) > limite) {
    lectura.motivo = demasiadoLargo(limite);
  } else if (!(lectura.bytes = leerDescriptor(fd, limite))) {
    lectura.motivo = errno == EFBIG ? demasiadoLargo(limite) : motivoDeErrno(errno);
  }
  ::close(fd);
  return lectura;
}

std::optional<std::string> leerArchivo(const std::string& ruta, size_t limite) {
  return leerArchivoExplicado(ruta, limite).bytes;
}

std::optional<std::string> leerPrincipio(const std::string& ruta, size_t cuantos) {
  const int fd = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return std::nullopt;
  struct stat estado;
  std::optional<std::string> bytes;
  if (::fstat(fd, &estado) == 0 && S_ISREG(estado.st_mode)) bytes.emplace(cuantos, '\0');
  size_t leidos = 0;
  while (bytes && leidos < cuantos) {
    const ssize_t n = ::read(fd, bytes->data() + leidos, cuantos - leidos);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) bytes.reset();
    if (n <= 0) break;
    leidos += static_cast<size_t>(n);
  }
  ::close(fd);
  if (bytes) bytes->resize(leidos);
  return bytes;
}

bool escribirAtomico(const std::string& ruta, std::string_view contenido) {
  // O_EXCL: a name someone planted (a link, a FIFO) is never opened; another name is tried.
  std::string temporal;
  int fd = -1;
  for (int intento = 0; intento < 100 && fd < 0; ++intento) {
    temporal = nombreTemporal(ruta);
    fd = ::open(temporal.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (fd < 0 && errno != EEXIST) return false;
  }
  if (fd < 0) return false;
  // The new file keeps the permissions of the one it replaces (a private file stays private).
  struct stat anterior;
  bool escrito = true;
  if (::stat(ruta.c_str(), &anterior) == 0 && S_ISREG(anterior.st_mode))
    escrito = ::fchmod(fd, anterior.st_mode & 07777) == 0;
  escrito = escrito && escribirTodo(fd, contenido);
  if (::close(fd) != 0 || !escrito || std::rename(temporal.c_str(), ruta.c_str()) != 0) {
    ::unlink(temporal.c_str());
    return false;
  }
  return true;
}

bool escribirEnSitio(const std::string& ruta, std::string_view contenido) {
  const int fd = ::open(ruta.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
  if (fd < 0) return false;
  struct stat estado;
  bool bien = ::fstat(fd, &estado) == 0 && S_ISREG(estado.st_mode);
  // The new bytes go over the old ones before the rest is cut, so a full disk fails the write
  // rather than leaving an emptied file. A file too long to be read needs no blanking: readers
  // refuse it until it is cut.
  std::string escrito(contenido);
  const auto anterior = static_cast<uint64_t>(bien ? estado.st_size : 0);
  if (anterior > escrito.size() && anterior <= LIMITE_LECTURA) escrito.resize(anterior, ' ');
  bien = bien && escribirTodo(fd, escrito) &&
         ::ftruncate(fd, static_cast<off_t>(contenido.size())) == 0;
  if (::close(fd) != 0) bien = false;
  return bien;
}

bool anadirAlArchivo(const std::string& ruta, std::string_view contenido) {
  const int fd =
      ::open(ruta.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC | O_NONBLOCK | O_NOCTTY, 0644);
  if (fd < 0) return false;
  const bool bien = escribirTodo(fd, contenido);
  return ::close(fd) == 0 && bien;
}

}  // namespace tildo
