#include "ui/frame/padre.h"

#include <unistd.h>

namespace tildo::ui {

Padre::Padre() : pid_(::getppid()) {}

bool Padre::vive() const {
  return ::getppid() == pid_;
}

}  // namespace tildo::ui
