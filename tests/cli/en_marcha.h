#pragma once
// A built program kept running while the test talks to it: orders on its standard input, its
// standard output read line by line as it comes, its standard error kept in a file.

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace tildo::prueba {

using namespace std::chrono_literals;

class EnMarcha {
 public:
  // bin/<programa> (or the path given) with the arguments; the variables given are set (an empty
  // value unsets it). Without standard input the program gets /dev/null. Throws when it cannot
  // be started for want of descriptors or processes, which fails the test.
  EnMarcha(const std::string& programa, const std::vector<std::string>& args,
           const std::map<std::string, std::string>& entorno = {}, bool conEntrada = true);
  // Kills it if it still runs.
  ~EnMarcha();
  EnMarcha(const EnMarcha&) = delete;
  EnMarcha& operator=(const EnMarcha&) = delete;

  pid_t pid() const { return pid_; }
  // Writes the line and a line feed, then waits until the program has read them.
  void escribir(const std::string& linea);
  // Writes the bytes as they are, without waiting.
  void enviar(const std::string& bytes);
  void cerrarEntrada();
  // The next line without its line feed; nothing when none comes in time or the output ends.
  std::optional<std::string> linea(std::chrono::milliseconds limite = 5s);
  // All it writes until its output ends.
  std::string resto();
  // Waits for the end; its exit status (128 + signal when killed), nothing on timeout.
  std::optional<int> fin(std::chrono::milliseconds limite = 5s);
  // Whether it ended killed by a signal, not exiting with 128 + its number.
  bool porSenal() const { return porSenal_; }
  // Its peak resident memory in kB, once it has ended.
  long memoriaMaximaKb() const { return memoriaMaximaKb_; }
  std::string errores() const;

 private:
  pid_t pid_ = -1;
  int entrada_ = -1;
  int salida_ = -1;
  std::string pendiente_;
  std::string archivoErrores_;
  std::optional<int> estado_;
  bool porSenal_ = false;
  long memoriaMaximaKb_ = 0;
};

}  // namespace tildo::prueba
