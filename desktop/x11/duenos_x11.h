#pragma once
// The processes that own the managed windows, and the application each says it is.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tildo {

class ConexionX11;
class ServidorVentanas;

// The windows of the window list with the process each belongs to, and the bundle identifier
// of each such process: the reverse-DNS application id one of its windows carries, else the
// class of its windows. Every window's owner and properties are asked at once, one wait for
// all: a lookup by name needs them for every application.
struct DuenosDeVentanas {
  std::vector<int32_t> pids;  // of the windows that carry one, front to back
  std::map<int32_t, std::string> bundles;
};

DuenosDeVentanas duenosDeVentanas(ConexionX11& conexion, ServidorVentanas& servidor);
std::optional<std::string> bundleEn(const DuenosDeVentanas& duenos, int32_t pid);

}  // namespace tildo
