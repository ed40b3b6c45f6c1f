#pragma once
// A command that cannot go on throws Fallo; the program's entry point is the one place that
// prints it as the failure reply and ends the process with its exit code. Throwing rather than
// exiting on the spot lets guards on the way out undo what they changed (a keyboard mapping).

#include <string>

namespace tildo {

struct Fallo {
  std::string mensaje;
  int codigo = 1;
};

[[noreturn]] inline void fallo(std::string mensaje, int codigo = 1) {
  throw Fallo{std::move(mensaje), codigo};
}

}  // namespace tildo
