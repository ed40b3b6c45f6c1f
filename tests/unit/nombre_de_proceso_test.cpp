// A process's name as the window backend reads it from /proc, against processes that carry
// more than a name there.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "desktop/x11/ventanas_x11.h"

namespace tildo {
namespace {

// sleep with the argument vector given (its arguments are durations it adds up); killed when
// the object goes.
class Proceso {
 public:
  explicit Proceso(std::vector<std::string> args) {
    pid_ = ::fork();
    if (pid_ == 0) {
      std::vector<char*> argv;
      for (auto& a : args) argv.push_back(a.data());
      argv.push_back(nullptr);
      ::execv("/bin/sleep", argv.data());
      ::_exit(127);
    }
    // The command line is the new program's once the exec is done; while it runs, there is none.
    const auto propio = nombreDeProceso(::getpid());
    for (int i = 0; i < 400; ++i) {
      const auto nombre = nombreDeProceso(pid_);
      if (nombre && nombre != propio) break;
      ::usleep(5000);
    }
  }
  ~Proceso() {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  pid_t pid() const { return pid_; }

 private:
  pid_t pid_;
};

TEST(NombreDeProceso, ElProgramaSinLaRutaYSinPasarDeUnaRutaLarga) {
  Proceso corto({"/sleep", "30"});
  EXPECT_EQ(nombreDeProceso(corto.pid()), "sleep");
  // 100 KB of program name and 1.5 MB of arguments: only the start is read, and the name is cut
  // where the reading stopped.
  const std::string largo = "/" + std::string(100000, 'x');
  std::vector<std::string> args = {largo};
  for (int i = 0; i < 15; ++i) args.push_back(std::string(100000, '0'));
  args.push_back("30");
  Proceso enorme(args);
  const auto nombre = nombreDeProceso(enorme.pid());
  ASSERT_TRUE(nombre);
  EXPECT_EQ(*nombre, std::string(4095, 'x'));
  EXPECT_EQ(nombreDeProceso(0), std::nullopt);
}

}  // namespace
}  // namespace tildo
