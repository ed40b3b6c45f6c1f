#include "ax/frame/teclado.h"

#include <algorithm>

#include "common/fallo.h"
#include "common/texto.h"

namespace tildo {

namespace {

constexpr NombreDeTecla TECLAS[] = {
    {"a", 0},          {"s", 1},
    {"d", 2},          {"f", 3},
    {"h", 4},          {"g", 5},
    {"z", 6},          {"x", 7},
    {"c", 8},          {"v", 9},
    {"b", 11},         {"q", 12},
    {"w", 13},         {"e", 14},
    {"r", 15},         {"y", 16},
    {"t", 17},         {"o", 31},
    {"u", 32},         {"i", 34},
    {"p", 35},         {"l", 37},
    {"j", 38},         {"k", 40},
    {"n", 45},         {"m", 46},
    {"1", 18},         {"2", 19},
    {"3", 20},         {"4", 21},
    {"6", 22},         {"5", 23},
    {"9", 25},         {"7", 26},
    {"8", 28},         {"0", 29},
    {"return", 36},    {"enter", 36},
    {"tab", 48},       {"space", 49},
    {"espacio", 49},   {"delete", 51},
    {"backspace", 51}, {"escape", 53},
    {"esc", 53},       {"forwarddelete", 117},
    {"up", 126},       {"down", 125},
    {"left", 123},     {"right", 124},
    {"home", 115},     {"end", 119},
    {"pageup", 116},   {"pagedown", 121},
    {"f1", 122},       {"f2", 120},
    {"f3", 99},        {"f4", 118},
    {"f5", 96},        {"f6", 97},
    {"f7", 98},        {"f8", 100},
    {"f9", 101},       {"f10", 109},
    {"f11", 103},      {"f12", 111},
    {"-", 27},         {"=", 24},
    {"[", 33},         {"]", 30},
    {";", 41},         {"'", 39},
    {",", 43},         {".", 47},
    {"/", 44},         {"\\", 42},
    {"`", 50},
};

struct Mascara {
  std::string_view nombre;
  uint64_t bandera;
};

constexpr Mascara MASCARAS[] = {
    {"cmd", bandera::COMANDO},   {"command", bandera::COMANDO},  {"mod", bandera::COMANDO},
    {"super", bandera::COMANDO}, {"shift", bandera::MAYUSCULAS}, {"mayus", bandera::MAYUSCULAS},
    {"ctrl", bandera::CONTROL},  {"control", bandera::CONTROL},  {"opt", bandera::OPCION},
    {"alt", bandera::OPCION},    {"option", bandera::OPCION},    {"opcion", bandera::OPCION},
    {"fn", bandera::FUNCION},
};

}  // namespace

std::span<const NombreDeTecla> MAPA_TECLAS() {
  return TECLAS;
}

uint64_t banderas(const std::vector<std::string>& modificadores) {
  uint64_t resultado = 0;
  for (const auto& m : modificadores) {
    const std::string nombre = minusculas(m);
    for (const auto& mascara : MASCARAS)
      if (mascara.nombre == nombre) resultado |= mascara.bandera;
  }
  return resultado;
}

void tecla(Entrada& entrada, const std::string& nombre,
           const std::vector<std::string>& modificadores) {
  const std::string buscada = minusculas(nombre);
  const auto it = std::find_if(std::begin(TECLAS), std::end(TECLAS),
                               [&](const NombreDeTecla& t) { return t.nombre == buscada; });
  if (it == std::end(TECLAS)) fallo("no conozco la tecla «" + nombre + "»");
  const uint64_t flags = banderas(modificadores);
  entrada.tecla(it->codigo, true, flags, u"");
  entrada.pausa(25000);
  entrada.tecla(it->codigo, false, flags, u"");
  entrada.pausa(25000);
}

void escribirCombo(Entrada& entrada, const std::string& combo) {
  const std::string bajo = minusculas(combo);
  std::vector<std::string> piezas;
  size_t inicio = 0;
  while (inicio <= bajo.size()) {
    size_t fin = bajo.find('+', inicio);
    if (fin == std::string::npos) fin = bajo.size();
    if (fin > inicio) piezas.push_back(recortarEspacios(bajo.substr(inicio, fin - inicio)));
    inicio = fin + 1;
  }
  if (piezas.empty()) fallo("combo vacío");
  const std::string nombre = piezas.back();
  piezas.pop_back();
  tecla(entrada, nombre, piezas);
}

namespace {

// Undoes the backend's preparation for a text however typing ends.
class TextoPreparado {
 public:
  TextoPreparado(Entrada& entrada, const std::vector<std::u16string>& caracteres)
      : entrada_(entrada) {
    entrada_.prepararTexto(caracteres);
  }
  ~TextoPreparado() { entrada_.terminarTexto(); }
  TextoPreparado(const TextoPreparado&) = delete;
  TextoPreparado& operator=(const TextoPreparado&) = delete;

 private:
  Entrada& entrada_;
};

}  // namespace

void escribir(Entrada& entrada, const std::string& texto) {
  const auto partes = grafemas(texto);
  std::vector<std::u16string> caracteres;
  for (const auto& g : partes)
    if (g != "\n" && g != "\t") caracteres.push_back(utf16(g));
  TextoPreparado preparado(entrada, caracteres);
  size_t siguiente = 0;
  for (const auto& g : partes) {
    if (g == "\n" || g == "\t") {
      tecla(entrada, g == "\n" ? "return" : "tab", {});
      entrada.pausa(20000);
      continue;
    }
    const std::u16string& unidades = caracteres[siguiente++];
    entrada.tecla(0, true, std::nullopt, unidades);
    entrada.pausa(6000);
    entrada.tecla(0, false, std::nullopt, unidades);
    entrada.pausa(6000);
  }
}

Json comandoType(const Argumentos& args, Escritorio& escritorio) {
  const std::string texto = args.tiene("--stdin") ? leerStdin() : unir(args.posicionales());
  if (texto.empty()) fallo("type necesita texto");
  escribir(escritorio.entrada(), texto);
  return {{"ok", true},
          {"escrito", primerosGrafemas(texto, 200)},
          {"caracteres", contarGrafemas(texto)}};
}

Json comandoKey(const Argumentos& args, Escritorio& escritorio) {
  const auto pos = args.posicionales();
  if (pos.empty()) fallo("key necesita un combo, ej. cmd+c");
  escribirCombo(escritorio.entrada(), pos[0]);
  return {{"ok", true}, {"combo", pos[0]}};
}

}  // namespace tildo
