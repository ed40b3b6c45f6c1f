#pragma once
// Whole-file reads and writes that hold up against files that are not what they seem: a read
// takes only regular files, never waits on a FIFO and stops at a size limit; a write never
// follows a link planted at its temporary name and never writes into a device or a FIFO.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tildo {

// The most any file or input of the programs is read into memory.
inline constexpr size_t LIMITE_LECTURA = 16 * 1024 * 1024;

// What a read gave: the bytes, or why there are none, in words for a message ("no existe",
// "es un directorio", …).
struct Lectura {
  std::optional<std::string> bytes;
  std::string motivo;
};

Lectura leerArchivoExplicado(const std::string& ruta, size_t limite = LIMITE_LECTURA);

// The file's bytes, or nothing when it cannot be read, is not a regular file or is longer than
// the limit.
std::optional<std::string> leerArchivo(const std::string& ruta, size_t limite = LIMITE_LECTURA);

// The first bytes of the file, up to `cuantos` (all of it when shorter): for files whose head is
// all a reader needs (a process's command line). Nothing when it cannot be read or is not a
// regular file.
std::optional<std::string> leerPrincipio(const std::string& ruta, size_t cuantos);

// All the bytes to the descriptor, in one write call unless the kernel takes less (a full
// pipe); false when a write fails.
bool escribirTodo(int fd, std::string_view contenido);

// An open descriptor to its end, or nothing when reading fails or passes the limit.
std::optional<std::string> leerDescriptor(int fd, size_t limite = LIMITE_LECTURA);

// The lines of a descriptor, none held past a limit: a peer that never sends a line feed costs
// the reader no more than twice the limit in memory.
class LectorDeLineas {
 public:
  struct Linea {
    std::string texto;
    // Longer than the limit: skipped through its line feed, `texto` left empty.
    bool demasiadoLarga = false;
  };

  LectorDeLineas(int fd, size_t limite);
  // The next line without its line feed (the last one may have none); nothing once the input
  // ends or a read fails.
  std::optional<Linea> siguiente();

 private:
  int fd;
  size_t limite;
  // Read and not yet given; while `descartando`, only the tail of a line too long.
  std::string pendiente;
  // Where the search for a line feed goes on in `pendiente`.
  size_t buscado = 0;
  bool descartando = false;
  bool terminado = false;
};

// Replaces the file whole: writes a temporary file beside it, created anew (so no link at that
// name is followed), and renames it over the old one, so a reader sees either the old content
// or the new, never half of it. On failure the old file stays as it was.
bool escribirAtomico(const std::string& ruta, std::string_view contenido);

// Writes the file in place (for files others may be watching), creating it when missing. Only a
// regular file is written: a directory, a FIFO or a device (a link to /dev/zero) is refused.
// A shorter text goes in with spaces over the rest of the old one, in the same write, before the
// file is cut: a reader in between sees the new text and white space, never the old text's end,
// so a format that ignores trailing white space (JSON) reads whole at every moment.
bool escribirEnSitio(const std::string& ruta, std::string_view contenido);

// Appends bytes in one write to a file opened for appending (created when missing); a FIFO
// nobody reads is refused rather than waited on.
bool anadirAlArchivo(const std::string& ruta, std::string_view contenido);

}  // namespace tildo
