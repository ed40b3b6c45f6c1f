#pragma once
// What the real Linux desktop says of the system it runs on, whatever its display server.

#include <string>

namespace tildo {

// os-release's PRETTY_NAME, a comma, and the kernel's name and release ("Debian GNU/Linux 12
// (bookworm), Linux 6.1.0-18-amd64"); the kernel alone without os-release.
std::string versionDelSistema();

}  // namespace tildo
