#include "common/archivos.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

namespace tildo {
namespace {

bool escribirTodo(int fd, std::string_view contenido) {
  while (!contenido.empty()) {
    const ssize_t n = ::write(fd, contenido.data(), contenido.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    contenido.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

bool escribirConFlags(const std::string& ruta, std::string_view contenido, int flags) {
  const int fd = ::open(ruta.c_str(), flags | O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  const bool bien = escribirTodo(fd, contenido);
  return ::close(fd) == 0 && bien;
}

}  // namespace

std::optional<std::string> leerArchivo(const std::string& ruta) {
  const int fd = ::open(ruta.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string contenido;
  char buf[65536];
  for (;;) {
    const ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return std::nullopt;
    }
    if (n == 0) break;
    contenido.append(buf, static_cast<size_t>(n));
  }
  ::close(fd);
  return contenido;
}

bool escribirAtomico(const std::string& ruta, std::string_view contenido) {
  const std::string temporal = ruta + ".tmp-" + std::to_string(::getpid());
  if (!escribirConFlags(temporal, contenido, O_TRUNC)) {
    ::unlink(temporal.c_str());
    return false;
  }
  if (std::rename(temporal.c_str(), ruta.c_str()) != 0) {
    ::unlink(temporal.c_str());
    return false;
  }
  return true;
}

bool escribirEnSitio(const std::string& ruta, std::string_view contenido) {
  return escribirConFlags(ruta, contenido, O_TRUNC);
}

bool anadirAlArchivo(const std::string& ruta, std::string_view contenido) {
  return escribirConFlags(ruta, contenido, O_APPEND);
}

}  // namespace tildo
