// The guardian of a run that holds buttons or keys: what it gathers from the run's words, and,
// with real processes, that it undoes them only when the run dies, keeps none of the run's
// descriptors, and never outlives the run by more than its repair.
#include "desktop/linux/guardia.h"

#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace tildo {
namespace {

using namespace std::chrono_literals;

std::vector<uint8_t> palabras(std::initializer_list<std::pair<Aviso, uint8_t>> lista) {
  std::vector<uint8_t> bytes;
  for (auto [aviso, detalle] : lista) bytes.insert(bytes.end(), {uint8_t(aviso), detalle});
  return bytes;
}

TEST(Guardia, JuntaLoQueLaEjecucionRetieneEnTrozosDeCualquierTamano) {
  const auto bytes = palabras({{Aviso::BOTON, 1},
                               {Aviso::TECLA, 38},
                               {Aviso::BOTON, 3},
                               {Aviso::BOTON, 1},
                               {Aviso::TECLADO, 0}});
  for (size_t trozo : {size_t(1), size_t(3), bytes.size()}) {
    LectorDeAvisos lector;
    for (size_t i = 0; i < bytes.size(); i += trozo)
      EXPECT_FALSE(lector.leer(bytes.data() + i, std::min(trozo, bytes.size() - i)));
    EXPECT_EQ(lector.retenido().botones, (std::set<uint8_t>{1, 3})) << trozo;
    EXPECT_EQ(lector.retenido().teclas, (std::set<uint8_t>{38})) << trozo;
    EXPECT_TRUE(lector.retenido().teclado) << trozo;
  }
  // The end is the end: nothing after it counts, also within the same piece.
  LectorDeAvisos lector;
  EXPECT_FALSE(lector.retenido().teclado);
  EXPECT_TRUE(lector.retenido().vacio());
  const auto conFin = palabras({{Aviso::TECLA, 50}, {Aviso::FIN, 0}, {Aviso::BOTON, 2}});
  EXPECT_TRUE(lector.leer(conFin.data(), conFin.size()));
  EXPECT_TRUE(lector.retenido().botones.empty());
}

// Where the guardian writes what it undid and what it had open (each descriptor and its target).
std::string informe;

void anotarDeshecho(const Retenido& r) {
  std::ostringstream s;
  for (int b : r.botones) s << "boton " << b << "\n";
  for (int t : r.teclas) s << "tecla " << t << "\n";
  s << "teclado " << r.teclado << "\n";
  std::vector<std::filesystem::directory_entry> abiertos(
      std::filesystem::directory_iterator("/proc/self/fd"), {});
  for (const auto& fd : abiertos) {
    std::error_code error;
    const auto destino = std::filesystem::read_symlink(fd.path(), error).string();
    // The listing's own descriptor is closed once it is read.
    if (!error) s << "abierto " << fd.path().filename().string() << " " << destino << "\n";
  }
  std::ofstream(informe + ".tmp") << s.str();
  std::filesystem::rename(informe + ".tmp", informe);
}

std::string leer(const std::string& ruta) {
  std::ifstream f(ruta);
  return {std::istreambuf_iterator<char>(f), {}};
}

// Whether the process has ended, reaping it when it is ours to reap.
bool termino(pid_t pid) {
  return waitpid(pid, nullptr, WNOHANG) == pid || (kill(pid, 0) != 0 && errno == ESRCH);
}

bool terminaEnSeguida(pid_t pid) {
  const auto limite = std::chrono::steady_clock::now() + 2s;
  while (!termino(pid) && std::chrono::steady_clock::now() < limite)
    std::this_thread::sleep_for(1ms);
  return termino(pid);
}

class GuardiaReal : public testing::Test {
 protected:
  void SetUp() override {
    informe = (std::filesystem::temp_directory_path() /
               ("guardia-" + std::to_string(getpid()) + "-informe"))
                  .string();
    std::filesystem::remove(informe);
    // The guardian of a run that dies comes to this process, which can then wait for it.
    prctl(PR_SET_CHILD_SUBREAPER, 1);
  }
  void TearDown() override {
    prctl(PR_SET_CHILD_SUBREAPER, 0);
    std::filesystem::remove(informe);
  }
};

TEST_F(GuardiaReal, UnaEjecucionQueMuereDejaQueSuGuardianLoSuelteYSeVaya) {
  // The run: its output is a pipe the test reads to its end, and it keeps a descriptor open that
  // the guardian must not keep.
  int salida[2];
  ASSERT_EQ(pipe(salida), 0);
  const pid_t ejecucion = fork();
  ASSERT_GE(ejecucion, 0);
  if (ejecucion == 0) {
    dup2(salida[1], STDOUT_FILENO);
    close(salida[0]);
    // Started by a caller that closed its input and errors: the guardian's socket lands on them.
    close(STDIN_FILENO);
    close(STDERR_FILENO);
    Guardia guardia(&anotarDeshecho);
    guardia.avisar(Aviso::BOTON, 1);
    guardia.avisar(Aviso::TECLADO);
    guardia.avisar(Aviso::TECLA, 66);
    const std::string pid = std::to_string(guardia.pid()) + "\n";
    [[maybe_unused]] auto n = write(STDOUT_FILENO, pid.data(), pid.size());
    pause();
  }
  close(salida[1]);
  std::string leido;
  char bytes[64];
  ssize_t n;
  while (leido.find('\n') == std::string::npos && (n = read(salida[0], bytes, sizeof bytes)) > 0)
    leido.append(bytes, size_t(n));
  const pid_t guardian = std::stoi(leido);
  ASSERT_GT(guardian, 0);
  // Alive while the run is, doing nothing.
  std::this_thread::sleep_for(50ms);
  EXPECT_FALSE(termino(guardian));
  EXPECT_FALSE(std::filesystem::exists(informe));

  kill(ejecucion, SIGKILL);
  waitpid(ejecucion, nullptr, 0);
  // The run's output ends with the run.
  pollfd esperada{salida[0], POLLIN, 0};
  ASSERT_EQ(poll(&esperada, 1, 2000), 1);
  EXPECT_EQ(read(salida[0], bytes, sizeof bytes), 0);
  close(salida[0]);
  EXPECT_TRUE(terminaEnSeguida(guardian));
  EXPECT_EQ(leer(informe),
            "boton 1\ntecla 66\nteclado 1\n"
            "abierto 0 /dev/null\nabierto 1 /dev/null\nabierto 2 /dev/null\n");
}

TEST_F(GuardiaReal, UnaEjecucionQueTerminaBienSeLlevaASuGuardianSinDeshacerNada) {
  pid_t guardian;
  {
    Guardia guardia(&anotarDeshecho);
    guardia.avisar(Aviso::BOTON, 1);
    guardian = guardia.pid();
    ASSERT_GT(guardian, 0);
  }
  // Already reaped by the run: none is left for init to reap.
  EXPECT_EQ(waitpid(guardian, nullptr, WNOHANG), -1);
  EXPECT_EQ(errno, ECHILD);
  EXPECT_FALSE(std::filesystem::exists(informe));
}

}  // namespace
}  // namespace tildo
