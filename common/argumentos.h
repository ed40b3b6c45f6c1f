#pragma once
// The arguments of one run after the command word, and their readers, for both programs.

#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tildo {

class Argumentos {
 public:
  // conValor names the flags whose next argument is their value and never a positional one; it
  // is a program's constant list, outliving every reader.
  Argumentos(std::vector<std::string> args, std::span<const std::string_view> conValor)
      : args_(std::move(args)), conValor_(conValor) {}

  // The argument right after the first one equal to the flag, whatever it is; nothing when the
  // flag is absent or the last argument.
  std::optional<std::string> bandera(std::string_view nombre) const;
  bool tiene(std::string_view nombre) const;
  // Every argument that is not a flag ("--…") nor the value of one of the value flags.
  std::vector<std::string> posicionales() const;
  // The positional arguments that read as numbers, in order.
  std::vector<double> numeros() const;
  // Every argument as given, flags included.
  const std::vector<std::string>& todos() const { return args_; }

 private:
  std::vector<std::string> args_;
  std::span<const std::string_view> conValor_;
};

// Standard input to its end as UTF-8; the empty text when the bytes are not valid UTF-8. Fails
// when it goes on past LIMITE_LECTURA.
std::string leerStdin();

// Words joined with single spaces.
std::string unir(const std::vector<std::string>& palabras);

}  // namespace tildo
