#include "desktop/x11/teclas_x11.h"

#include <X11/keysym.h>

#include <algorithm>
#include <cstring>
#include <utility>

namespace tildo::x11 {

namespace {

// Keyed by the platform's virtual key codes, the ones the key table names.
constexpr std::pair<uint16_t, uint32_t> KEYSYMS_DE_TECLAS[] = {
    {0, XK_a},
    {1, XK_s},
    {2, XK_d},
    {3, XK_f},
    {4, XK_h},
    {5, XK_g},
    {6, XK_z},
    {7, XK_x},
    {8, XK_c},
    {9, XK_v},
    {11, XK_b},
    {12, XK_q},
    {13, XK_w},
    {14, XK_e},
    {15, XK_r},
    {16, XK_y},
    {17, XK_t},
    {31, XK_o},
    {32, XK_u},
    {34, XK_i},
    {35, XK_p},
    {37, XK_l},
    {38, XK_j},
    {40, XK_k},
    {45, XK_n},
    {46, XK_m},
    {18, XK_1},
    {19, XK_2},
    {20, XK_3},
    {21, XK_4},
    {22, XK_6},
    {23, XK_5},
    {25, XK_9},
    {26, XK_7},
    {28, XK_8},
    {29, XK_0},
    {36, XK_Return},
    {48, XK_Tab},
    {49, XK_space},
    {51, XK_BackSpace},
    {53, XK_Escape},
    {117, XK_Delete},
    {126, XK_Up},
    {125, XK_Down},
    {123, XK_Left},
    {124, XK_Right},
    {115, XK_Home},
    {119, XK_End},
    {116, XK_Prior},
    {121, XK_Next},
    {122, XK_F1},
    {120, XK_F2},
    {99, XK_F3},
    {118, XK_F4},
    {96, XK_F5},
    {97, XK_F6},
    {98, XK_F7},
    {100, XK_F8},
    {101, XK_F9},
    {109, XK_F10},
    {103, XK_F11},
    {111, XK_F12},
    {27, XK_minus},
    {24, XK_equal},
    {33, XK_bracketleft},
    {30, XK_bracketright},
    {41, XK_semicolon},
    {39, XK_apostrophe},
    {43, XK_comma},
    {47, XK_period},
    {44, XK_slash},
    {42, XK_backslash},
    {50, XK_grave},
};

}  // namespace

uint32_t keysymDeTecla(uint16_t codigo) {
  for (const auto& [tecla, keysym] : KEYSYMS_DE_TECLAS)
    if (tecla == codigo) return keysym;
  return 0;
}

std::vector<uint32_t> keysymsDeCaracter(const std::u16string& caracter) {
  if (caracter == u"\r" || caracter == u"\r\n") return {XK_Return};
  std::vector<uint32_t> keysyms;
  for (size_t i = 0; i < caracter.size(); ++i) {
    char32_t c = caracter[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < caracter.size() && caracter[i + 1] >= 0xDC00 &&
        caracter[i + 1] < 0xE000)
      c = 0x10000 + ((c - 0xD800) << 10) + (caracter[++i] - 0xDC00);
    // Controls and unpaired surrogates have no keysym worth typing.
    if (c < 0x20 || (c >= 0x7F && c < 0xA0) || (c >= 0xD800 && c < 0xE000)) continue;
    keysyms.push_back(c <= 0xFF ? c : 0x01000000 + c);
  }
  return keysyms;
}

std::vector<uint32_t> keysymsDeTexto(const std::vector<std::u16string>& caracteres) {
  std::vector<uint32_t> keysyms;
  for (const auto& c : caracteres)
    for (uint32_t k : keysymsDeCaracter(c)) keysyms.push_back(k);
  return keysyms;
}

uint32_t clicsDeRueda(int32_t pixeles) {
  const int64_t magnitud = pixeles < 0 ? -int64_t(pixeles) : int64_t(pixeles);
  const int64_t clics = (magnitud + PIXELES_POR_CLIC - 1) / PIXELES_POR_CLIC;
  return static_cast<uint32_t>(std::min<int64_t>(clics, CLICS_MAXIMOS));
}

std::vector<uint32_t> siguienteLote(uint32_t necesaria, const std::vector<uint32_t>& secuencia,
                                    size_t desde, size_t capacidad) {
  std::vector<uint32_t> lote;
  if (capacidad == 0) return lote;
  lote.push_back(necesaria);
  for (size_t i = desde; i < secuencia.size() && lote.size() < capacidad; ++i)
    if (std::find(lote.begin(), lote.end(), secuencia[i]) == lote.end())
      lote.push_back(secuencia[i]);
  return lote;
}

bool libre(const TeclaXkb& tecla) {
  return (tecla.grupos & 0x0F) == 0 && tecla.modificadores == 0;
}

uint32_t keysymSinModificadores(const TecladoXkb& teclado, unsigned keycode, unsigned grupo) {
  if (!teclado.tiene(keycode)) return 0;
  const TeclaXkb& t = teclado.tecla(keycode);
  const unsigned grupos = t.grupos & 0x0F;
  if (grupos == 0) return 0;
  if (grupo >= grupos) {
    // The two bits above the number say what an active group the key lacks falls back to:
    // wrapped round by default, clamped to the last, or redirected to a group of its own.
    switch (t.grupos & 0xC0) {
      case 0x40:
        grupo = grupos - 1;
        break;
      case 0x80:
        grupo = (t.grupos >> 4) & 0x03;
        if (grupo >= grupos) grupo = 0;
        break;
      default:
        grupo %= grupos;
        break;
    }
  }
  const unsigned tipo = t.tipos[grupo];
  const unsigned nivel =
      tipo < teclado.nivelSinModificadores.size() ? teclado.nivelSinModificadores[tipo] : 0;
  const size_t i = size_t(grupo) * t.ancho + nivel;
  return nivel < t.ancho && i < t.keysyms.size() ? t.keysyms[i] : 0;
}

unsigned keycodeDe(const TecladoXkb& teclado, uint32_t keysym, unsigned grupo) {
  for (unsigned k = teclado.minima; k <= teclado.maxima(); ++k)
    if (keysymSinModificadores(teclado, k, grupo) == keysym) return k;
  return 0;
}

BloqueXkb bloqueDeTeclas(const TecladoXkb& teclado, unsigned primera, unsigned ultima) {
  BloqueXkb bloque;
  // The request goes in the client's own byte order, as xcb declares it to the server.
  auto anadir = [&](auto valor) {
    uint8_t bytes[sizeof valor];
    std::memcpy(bytes, &valor, sizeof valor);
    bloque.bytes.insert(bloque.bytes.end(), std::begin(bytes), std::end(bytes));
  };
  for (unsigned k = primera; k <= ultima; ++k) {
    const TeclaXkb& t = teclado.tecla(k);
    // A key carries exactly its groups times its width keysyms.
    const size_t n = size_t(t.grupos & 0x0F) * t.ancho;
    bloque.bytes.insert(bloque.bytes.end(), std::begin(t.tipos), std::end(t.tipos));
    bloque.bytes.push_back(t.grupos);
    bloque.bytes.push_back(t.ancho);
    anadir(uint16_t(n));
    for (size_t i = 0; i < n; ++i) anadir(uint32_t(i < t.keysyms.size() ? t.keysyms[i] : 0));
    bloque.keysyms = uint16_t(bloque.keysyms + n);
  }
  return bloque;
}

TeclaXkb sinLigar(const Prestada& tecla) {
  TeclaXkb t;
  std::copy(std::begin(tecla.tipos), std::end(tecla.tipos), t.tipos);
  t.grupos = tecla.grupos;
  t.ancho = tecla.ancho;
  return t;
}

TeclaXkb ligadaA(const Prestada& tecla, uint32_t keysym) {
  TeclaXkb t = sinLigar(tecla);
  t.tipos[0] = TIPO_UN_NIVEL;
  t.grupos = 1;
  t.ancho = 1;
  t.keysyms = {keysym};
  return t;
}

namespace {

// The same keys: the key types of the groups it has count, those of groups it lacks do not.
bool mismaTecla(const TeclaXkb& a, const TeclaXkb& b) {
  const size_t grupos = std::min<size_t>(a.grupos & 0x0F, 4);
  return a.grupos == b.grupos && a.ancho == b.ancho && a.keysyms == b.keysyms &&
         a.modificadores == b.modificadores && std::equal(a.tipos, a.tipos + grupos, b.tipos);
}

}  // namespace

std::vector<unsigned> fundir(TecladoXkb& actual, const TecladoXkb& conocido,
                             const std::map<unsigned, TeclaXkb>& cambios) {
  std::vector<unsigned> ajenas;
  for (const auto& [keycode, tecla] : cambios) {
    TeclaXkb& ahora = actual.tecla(keycode);
    if (libre(ahora) || mismaTecla(ahora, conocido.tecla(keycode)))
      ahora = tecla;
    else
      ajenas.push_back(keycode);
  }
  return ajenas;
}

namespace {

// The first byte tells the layout, so that a note of another layout is not misread.
constexpr unsigned char VERSION_NOTA = 1;
constexpr size_t BYTES_POR_TECLA = 11;

}  // namespace

std::vector<unsigned char> anotar(const Prestamo& prestamo) {
  std::vector<unsigned char> bytes = {VERSION_NOTA,
                                      static_cast<unsigned char>(prestamo.mayusculasSueltas)};
  for (const Prestada& t : prestamo.teclas) {
    bytes.push_back(static_cast<unsigned char>(t.keycode));
    bytes.insert(bytes.end(), std::begin(t.tipos), std::end(t.tipos));
    bytes.push_back(t.grupos);
    bytes.push_back(t.ancho);
    for (int desplazamiento = 0; desplazamiento < 32; desplazamiento += 8)
      bytes.push_back(static_cast<unsigned char>(t.keysym >> desplazamiento));
  }
  return bytes;
}

std::optional<Prestamo> leerNota(const std::vector<unsigned char>& bytes) {
  if (bytes.size() < 2 || bytes[0] != VERSION_NOTA || bytes[1] > 1 ||
      (bytes.size() - 2) % BYTES_POR_TECLA != 0)
    return std::nullopt;
  Prestamo prestamo;
  prestamo.mayusculasSueltas = bytes[1] == 1;
  for (size_t i = 2; i < bytes.size(); i += BYTES_POR_TECLA) {
    Prestada t;
    t.keycode = bytes[i];
    // X keycodes run from 8 up.
    if (t.keycode < 8) return std::nullopt;
    std::copy(bytes.begin() + long(i) + 1, bytes.begin() + long(i) + 5, t.tipos);
    t.grupos = bytes[i + 5];
    t.ancho = bytes[i + 6];
    for (int b = 0; b < 4; ++b) t.keysym |= uint32_t(bytes[i + 7 + size_t(b)]) << (8 * b);
    prestamo.teclas.push_back(t);
  }
  return prestamo;
}

}  // namespace tildo::x11
