#pragma once
// The process that started this one. An overlay lives until its starter ends it; a starter that
// dies first leaves it adopted by another process that knows nothing of it, so it checks and
// leaves by itself.

#include <sys/types.h>

namespace tildo::ui {

class Padre {
 public:
  // Remembers the parent of this moment: make it as early as the command starts.
  Padre();
  // False once that parent has died (this process then has another).
  bool vive() const;

 private:
  pid_t pid_;
};

}  // namespace tildo::ui
