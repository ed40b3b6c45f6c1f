// Drawings kept in the X server as pixmaps: a window shows one as its background pixmap (the
// server repaints it on its own) and, without a compositor, takes its shape from a bitmap.
#include "desktop/ventanas_propias.h"

#include <xcb/shape.h>
#include <xcb/xcb.h>

#include <algorithm>
#include <cstdlib>
#include <unordered_map>

namespace tildo {
namespace {

template <typename T>
using Respuesta = std::unique_ptr<T, decltype(&std::free)>;

// How the server lays out the pixels of a pixmap that deep.
const xcb_format_t* formatoDe(const xcb_setup_t* s, uint8_t profundidad) {
  for (auto f = xcb_setup_pixmap_formats_iterator(s); f.rem; xcb_format_next(&f))
    if (f.data->depth == profundidad) return f.data;
  return nullptr;
}

const xcb_visualtype_t* visualDe(const xcb_setup_t* s, xcb_visualid_t id) {
  for (auto p = xcb_setup_roots_iterator(s); p.rem; xcb_screen_next(&p))
    for (auto d = xcb_screen_allowed_depths_iterator(p.data); d.rem; xcb_depth_next(&d))
      for (auto v = xcb_depth_visuals_iterator(d.data); v.rem; xcb_visualtype_next(&v))
        if (v.data->visual_id == id) return v.data;
  return nullptr;
}

class DibujosGuardadosX11 : public DibujosGuardados {
 public:
  DibujosGuardadosX11(xcb_connection_t* conexion, xcb_window_t ventana, uint8_t profundidad)
      : c_(conexion), ventana_(ventana), profundidad_(profundidad) {}

  ~DibujosGuardadosX11() override {
    for (const auto& [clave, guardado] : guardados_) soltar(guardado);
    for (xcb_gcontext_t gc : {gcColores_, gcForma_})
      if (gc) xcb_free_gc(c_, gc);
    xcb_flush(c_);
  }

  void guardar(int clave, const DibujoGuardable& d) override {
    Guardado g;
    g.colores = pixmap(profundidad_, d, gcColores_);
    subir(g.colores, gcColores_, profundidad_, d, reinterpret_cast<const uint8_t*>(d.pixeles),
          d.ancho * 4);
    if (d.forma) {
      g.forma = pixmap(1, d, gcForma_);
      subir(g.forma, gcForma_, 1, d, d.forma, (d.ancho + 31) / 32 * 4);
    }
    auto [lugar, nuevo] = guardados_.try_emplace(clave, g);
    if (!nuevo) {
      soltar(lugar->second);
      lugar->second = g;
    }
  }

  void mostrar(int clave, bool conForma) override {
    const auto guardado = guardados_.find(clave);
    if (guardado == guardados_.end()) return;
    const uint32_t fondo = guardado->second.colores;
    xcb_change_window_attributes(c_, ventana_, XCB_CW_BACK_PIXMAP, &fondo);
    if (conForma && guardado->second.forma)
      xcb_shape_mask(c_, XCB_SHAPE_SO_SET, XCB_SHAPE_SK_BOUNDING, ventana_, 0, 0,
                     guardado->second.forma);
    // A new background shows only where the window is painted again: all of it.
    xcb_clear_area(c_, 0, ventana_, 0, 0, 0, 0);
    xcb_flush(c_);
  }

 private:
  struct Guardado {
    xcb_pixmap_t colores = 0;
    xcb_pixmap_t forma = 0;
  };

  // A pixmap the drawing's size, and the graphics context every pixmap that deep shares.
  xcb_pixmap_t pixmap(uint8_t profundidad, const DibujoGuardable& d, xcb_gcontext_t& gc) {
    const xcb_pixmap_t p = xcb_generate_id(c_);
    xcb_create_pixmap(c_, profundidad, p, ventana_, static_cast<uint16_t>(d.ancho),
                      static_cast<uint16_t>(d.alto));
    if (!gc) {
      gc = xcb_generate_id(c_);
      xcb_create_gc(c_, gc, p, 0, nullptr);
    }
    return p;
  }

  // In bands of rows, each within the largest request the server takes.
  void subir(xcb_pixmap_t destino, xcb_gcontext_t gc, uint8_t profundidad, const DibujoGuardable& d,
             const uint8_t* datos, int porFila) {
    const uint32_t cabe = xcb_get_maximum_request_length(c_) * 4 - 64;
    const int filas = std::max(1, static_cast<int>(cabe / static_cast<uint32_t>(porFila)));
    for (int y = 0; y < d.alto; y += filas) {
      const int n = std::min(filas, d.alto - y);
      xcb_put_image(c_, XCB_IMAGE_FORMAT_Z_PIXMAP, destino, gc, static_cast<uint16_t>(d.ancho),
                    static_cast<uint16_t>(n), 0, static_cast<int16_t>(y), 0, profundidad,
                    static_cast<uint32_t>(n * porFila), datos + static_cast<size_t>(y) * porFila);
    }
  }

  void soltar(const Guardado& g) {
    xcb_free_pixmap(c_, g.colores);
    if (g.forma) xcb_free_pixmap(c_, g.forma);
  }

  xcb_connection_t* const c_;
  const xcb_window_t ventana_;
  const uint8_t profundidad_;
  xcb_gcontext_t gcColores_ = 0;
  xcb_gcontext_t gcForma_ = 0;
  std::unordered_map<int, Guardado> guardados_;
};

}  // namespace

std::unique_ptr<DibujosGuardados> dibujosGuardados(void* conexion, uint32_t ventana) {
  auto* c = static_cast<xcb_connection_t*>(conexion);
  Respuesta<xcb_get_geometry_reply_t> geometria(
      xcb_get_geometry_reply(c, xcb_get_geometry(c, ventana), nullptr), std::free);
  Respuesta<xcb_get_window_attributes_reply_t> atributos(
      xcb_get_window_attributes_reply(c, xcb_get_window_attributes(c, ventana), nullptr),
      std::free);
  if (!geometria || !atributos) return nullptr;
  const xcb_setup_t* s = xcb_get_setup(c);
  const xcb_format_t* colores = formatoDe(s, geometria->depth);
  const xcb_format_t* bits = formatoDe(s, 1);
  const xcb_visualtype_t* visual = visualDe(s, atributos->visual);
  // The drawings' own layout: 32-bit pixels and bit rows padded to 32 bits, lowest first, and
  // 8 bits a colour in 0xAARRGGBB.
  const bool comoLosDibujos = (geometria->depth == 24 || geometria->depth == 32) &&
                              s->image_byte_order == XCB_IMAGE_ORDER_LSB_FIRST &&
                              s->bitmap_format_bit_order == XCB_IMAGE_ORDER_LSB_FIRST && colores &&
                              colores->bits_per_pixel == 32 && bits && bits->bits_per_pixel == 1 &&
                              bits->scanline_pad == 32 && visual && visual->red_mask == 0xff0000 &&
                              visual->green_mask == 0xff00 && visual->blue_mask == 0xff;
  if (!comoLosDibujos) return nullptr;
  return std::make_unique<DibujosGuardadosX11>(c, ventana, geometria->depth);
}

}  // namespace tildo
