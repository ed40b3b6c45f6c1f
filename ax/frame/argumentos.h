#pragma once
// The arguments of one run after the command word, and their readers.

#include <optional>
#include <string>
#include <vector>

namespace tildo {

class Argumentos {
 public:
  explicit Argumentos(std::vector<std::string> args) : args_(std::move(args)) {}

  // The argument right after the first one equal to the flag, whatever it is.
  std::optional<std::string> bandera(const std::string& nombre) const;
  bool tiene(const std::string& nombre) const;
  // Every argument that is not a flag ("--…") nor the value of one of the value flags.
  std::vector<std::string> posicionales() const;

  const std::vector<std::string>& todos() const { return args_; }

 private:
  std::vector<std::string> args_;
};

// Standard input to its end as UTF-8; the empty text when the bytes are not valid UTF-8. Fails
// when it goes on past LIMITE_LECTURA.
std::string leerStdin();

// Words joined with single spaces.
std::string unir(const std::vector<std::string>& palabras);

}  // namespace tildo
