#include "ui/bar/disposicion.h"

#include <algorithm>

#include "ui/frame/ajustes.h"
#include "ui/frame/constantes.h"

namespace tildo::ui {

const std::vector<DefinicionFila> DEFINICION = {
    {"voz",
     "🔊",
     {{"es", "Voz"}, {"en", "Voice"}, {"zh", "声音"}},
     {{"es", "Tildo dice en voz alta cada paso"},
      {"en", "Tildo says each step out loud"},
      {"zh", "Tildo 会大声说出每一步"}},
     false},
    {"cursor",
     "✨",
     {{"es", "Cursor"}, {"en", "Cursor"}, {"zh", "光标"}},
     {{"es", "La mano neón que muestra por dónde va Tildo"},
      {"en", "The neon hand that shows where Tildo is working"},
      {"zh", "显示 Tildo 正在操作哪里的霓虹手"}},
     false},
    {"dividir",
     "◫",
     {{"es", "Dividir"}, {"en", "Split"}, {"zh", "分屏"}},
     {{"es", "Tildo de un lado y la app del otro, para que veas todo"},
      {"en", "Tildo on one side and the app on the other, so you see everything"},
      {"zh", "Tildo 在一侧，应用在另一侧，方便你看到全部"}},
     false},
    {"zoom",
     "🔍",
     {{"es", "Zoom"}, {"en", "Zoom"}, {"zh", "缩放"}},
     {{"es", "Aleja las páginas web para que quepan en su mitad"},
      {"en", "Zooms web pages out so they fit their half"},
      {"zh", "把网页缩小，放进它那一半"}},
     false},
    {"pausa",
     "⏸",
     {{"es", "Pausa"}, {"en", "Pause"}, {"zh", "暂停"}},
     {{"es", "Tildo no toca nada hasta que lo quites"},
      {"en", "Tildo touches nothing until you turn this off"},
      {"zh", "在你取消之前，Tildo 不动任何东西"}},
     true},
};

std::string enIdioma(const std::map<std::string, std::string>& textos, const std::string& idioma) {
  auto t = textos.find(idioma);
  if (t == textos.end()) t = textos.find("es");
  return t == textos.end() ? "" : t->second;
}

std::string texto(const std::string& idioma, const std::string& clave) {
  auto tabla = TEXTOS.find(idioma);
  if (tabla == TEXTOS.end()) tabla = TEXTOS.find("es");
  auto t = tabla->second.find(clave);
  return t == tabla->second.end() ? "" : t->second;
}

bool encendidoEn(const Json& ajustes, const std::string& clave) {
  const auto v = ajustes.find(clave);
  return v != ajustes.end() && v->is_boolean() && v->get<bool>();
}

std::string etiquetaDeFila(const std::string& emoji, const std::string& titulo) {
  return titulo.empty() ? emoji : emoji + " " + titulo;
}

bool abreHaciaArriba(const Rect& panel, const std::optional<Rect>& visible) {
  if (!visible) return false;
  return panel.y + panel.alto / 2 < visible->y + visible->alto / 2;
}

Disposicion acomodar(const Json& ajustes, bool compacta, const Rect& panel,
                     const std::optional<Rect>& visible,
                     const std::function<double(const std::string&)>& anchoDeEtiqueta,
                     const std::string& pistaCerrar) {
  Disposicion d;
  d.idioma = idiomaEfectivo(ajustes);
  double ancho = compacta ? 28.0 : 88.0;
  for (const DefinicionFila& def : DEFINICION) {
    FilaDispuesta f;
    f.clave = def.clave;
    f.emoji = def.emoji;
    f.pista = enIdioma(def.pistas, d.idioma);
    f.titulo = compacta ? "" : enIdioma(def.titulos, d.idioma);
    f.encendido = encendidoEn(ajustes, def.clave);
    f.visible = !compacta || (def.clave == "pausa" && *f.encendido);
    if (f.visible)
      ancho = std::max(ancho, anchoDeEtiqueta(etiquetaDeFila(f.emoji, f.titulo)) + 22.0);
    d.filas.push_back(std::move(f));
  }
  d.filas.push_back({CLAVE_CHICO,
                     compacta ? "+" : "–",
                     "",
                     texto(d.idioma, compacta ? "big" : "small"),
                     std::nullopt,
                     true,
                     {}});
  d.filas.push_back({CLAVE_CERRAR, "✕", "", pistaCerrar, std::nullopt, !compacta, {}});

  const auto n = std::count_if(d.filas.begin(), d.filas.end(),
                               [](const FilaDispuesta& f) { return f.visible; });
  d.haciaArriba = abreHaciaArriba(panel, visible);
  const double alto = static_cast<double>(n) * 30 + 42;
  d.marco = {panel.x, d.haciaArriba ? panel.y : panel.y + panel.alto - alto, 16 + ancho, alto};

  d.manoY = d.haciaArriba ? 8 : alto - 8 - 28;
  d.nombreVisible = !compacta;
  d.enPausa = encendidoEn(ajustes, "pausa");

  double y = d.haciaArriba ? 42 : alto - 68;
  for (FilaDispuesta& f : d.filas) {
    if (!f.visible) continue;
    f.marco = {8, y, ancho, 26};
    y += d.haciaArriba ? 30 : -30;
  }
  return d;
}

}  // namespace tildo::ui
