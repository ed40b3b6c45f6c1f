#pragma once
// Whole-file reads and writes.

#include <optional>
#include <string>
#include <string_view>

namespace tildo {

// The file's bytes, or nothing when it cannot be read.
std::optional<std::string> leerArchivo(const std::string& ruta);

// Replaces the file whole: writes a temporary file beside it and renames it over the old one,
// so a reader sees either the old content or the new, never half of it.
bool escribirAtomico(const std::string& ruta, std::string_view contenido);

// Creates or truncates the file and writes it in place (for files others may be watching).
bool escribirEnSitio(const std::string& ruta, std::string_view contenido);

// Appends bytes in one write to a file opened for appending (created when missing).
bool anadirAlArchivo(const std::string& ruta, std::string_view contenido);

}  // namespace tildo
