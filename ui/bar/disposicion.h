#pragma once
// The bar's switch table and its layout: which rows show, their texts, sizes and places, and
// the direction the bar grows in. Frames are in the screen service's space (origin bottom-left,
// y upward); the rows' frames are in the bar's own view, also measured from its bottom-left.

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "common/json.h"
#include "desktop/pantallas.h"

namespace tildo::ui {

// One switch row: its settings key, emoji, titles and hints by language, and whether it lights
// red.
struct DefinicionFila {
  std::string clave;
  std::string emoji;
  std::map<std::string, std::string> titulos;
  std::map<std::string, std::string> pistas;
  bool rojo = false;
};

// The five rows, in the order they are shown.
extern const std::vector<DefinicionFila> DEFINICION;

// The private keys of the collapse and hide buttons; they never reach the settings file.
inline const std::string CLAVE_CHICO = "_chico";
inline const std::string CLAVE_CERRAR = "_cerrar";

// A row or button as the layout leaves it.
struct FilaDispuesta {
  std::string clave;
  std::string emoji;
  std::string titulo;
  std::string pista;
  std::optional<bool> encendido;  // absent for the buttons, whose state only clicks change
  bool visible = false;
  Rect marco;
};

struct Disposicion {
  Rect marco;                        // the panel's new frame
  std::vector<FilaDispuesta> filas;  // the five rows, then "_chico", then "_cerrar"
  bool haciaArriba = false;          // grows upward from a fixed bottom edge
  double manoY = 0;                  // bottom of the 28 × 28 hand square
  bool nombreVisible = true;
  bool enPausa = false;
  std::string idioma;
};

// The entry for the language, else the "es" one.
std::string enIdioma(const std::map<std::string, std::string>& textos, const std::string& idioma);
// A TEXTOS entry for the language, falling back to "es".
std::string texto(const std::string& idioma, const std::string& clave);

// The settings' boolean under the key; false when missing or not a boolean.
bool encendidoEn(const Json& ajustes, const std::string& clave);

// The emoji alone when the title is empty, else emoji, a space and the title.
std::string etiquetaDeFila(const std::string& emoji, const std::string& titulo);

// Whether the panel's vertical centre lies strictly below the centre of the main screen's
// visible frame; false without a main screen.
bool abreHaciaArriba(const Rect& panel, const std::optional<Rect>& visible);

// The layout for these settings and state. anchoDeEtiqueta measures a row's label in the
// rows' font; pistaCerrar is the hide button's hint, fixed at launch.
Disposicion acomodar(const Json& ajustes, bool compacta, const Rect& panel,
                     const std::optional<Rect>& visible,
                     const std::function<double(const std::string&)>& anchoDeEtiqueta,
                     const std::string& pistaCerrar);

}  // namespace tildo::ui
