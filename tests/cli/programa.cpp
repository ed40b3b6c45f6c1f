#include "programa.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <sstream>

#include "common/archivos.h"

namespace tildo::prueba {

std::string carpetaDeProgramas() {
  const char* instalados = std::getenv("TILDO_PROGRAMAS");
  return instalados && *instalados ? instalados : TILDO_BIN;
}

Json Salida::json() const {
  return Json::parse(stdout_, nullptr, false);
}

void ejecutarConEntorno(const std::string& ruta, const std::vector<std::string>& args,
                        const std::map<std::string, std::string>& entorno) {
  for (const auto& [k, v] : entorno) {
    if (v.empty())
      unsetenv(k.c_str());
    else
      setenv(k.c_str(), v.c_str(), 1);
  }
  std::vector<char*> argv{const_cast<char*>(ruta.c_str())};
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  execv(ruta.c_str(), argv.data());
  _exit(127);
}

Salida correr(const std::string& programa, const std::vector<std::string>& args,
              const std::map<std::string, std::string>& entorno, const std::string& entrada) {
  int in[2], out[2], err[2];
  if (pipe(in) || pipe(out) || pipe(err)) return {};
  const std::string ruta = carpetaDeProgramas() + "/" + programa;
  const auto inicio = std::chrono::steady_clock::now();
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    for (int fd : {in[0], in[1], out[0], out[1], err[0], err[1]}) close(fd);
    ejecutarConEntorno(ruta, args, entorno);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);
  if (!entrada.empty()) [[maybe_unused]]
    auto n = write(in[1], entrada.data(), entrada.size());
  close(in[1]);
  Salida s;
  pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
  std::string* destino[2] = {&s.stdout_, &s.stderr_};
  int abiertos = 2;
  while (abiertos > 0 && poll(fds, 2, -1) > 0) {
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || !fds[i].revents) continue;
      char buf[4096];
      const ssize_t n = read(fds[i].fd, buf, sizeof buf);
      if (n <= 0) {
        close(fds[i].fd);
        fds[i].fd = -1;
        --abiertos;
      } else {
        destino[i]->append(buf, static_cast<size_t>(n));
      }
    }
  }
  int estado = 0;
  rusage uso{};
  wait4(pid, &estado, 0, &uso);
  s.segundos = std::chrono::duration<double>(std::chrono::steady_clock::now() - inicio).count();
  s.memoriaMaximaKb = uso.ru_maxrss;
  s.codigo = WIFEXITED(estado) ? WEXITSTATUS(estado) : 128 + WTERMSIG(estado);
  return s;
}

EscritorioDePrueba::EscritorioDePrueba(const Json& descripcion) {
  char plantilla[] = "/tmp/tildo-prueba-XXXXXX";
  carpeta_ = mkdtemp(plantilla);
  escribirAtomico(carpeta_ + "/escritorio.json", descripcion.dump());
}

EscritorioDePrueba::~EscritorioDePrueba() {
  std::filesystem::remove_all(carpeta_);
}

Salida EscritorioDePrueba::ax(const std::vector<std::string>& args,
                              const std::string& entrada) const {
  return correr("tildo-ax", args,
                {{"TILDO_ESCRITORIO", carpeta_ + "/escritorio.json"},
                 {"TILDO_REGISTRO", carpeta_ + "/registro.jsonl"}},
                entrada);
}

std::vector<Json> EscritorioDePrueba::registro() const {
  std::vector<Json> lineas;
  std::istringstream texto(leerArchivo(carpeta_ + "/registro.jsonl").value_or(""));
  for (std::string linea; std::getline(texto, linea);) lineas.push_back(Json::parse(linea));
  return lineas;
}

Json EscritorioDePrueba::descripcion() const {
  return Json::parse(leerArchivo(carpeta_ + "/escritorio.json").value_or("null"));
}

::testing::AssertionResult falla(const Salida& s, const std::string& mensaje, int codigo) {
  const std::string linea = escribirJson({{"ok", false}, {"error", mensaje}}).value_or("") + "\n";
  if (s.stdout_ == linea && s.codigo == codigo) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "exit code " << s.codigo << ", reply " << s.stdout_
                                       << "; expected " << codigo << ", " << linea;
}

std::vector<Json> sinPausas(const std::vector<Json>& registro) {
  std::vector<Json> eventos;
  for (const auto& l : registro)
    if (l["evento"] != "pausa") eventos.push_back(l);
  return eventos;
}

std::vector<int64_t> pausas(const std::vector<Json>& registro) {
  std::vector<int64_t> us;
  for (const auto& l : registro)
    if (l["evento"] == "pausa") us.push_back(l["us"].get<int64_t>());
  return us;
}

}  // namespace tildo::prueba
