#include "desktop/x11/eventos_x11.h"

#include <xcb/randr.h>
#include <xcb/xcb.h>
#include <xcb/xinput.h>
// xcb's XKB header names a field "explicit", which C++ reserves.
#define explicit explicit_
#include <xcb/xkb.h>
#undef explicit
#include <xkbcommon/xkbcommon-x11.h>

#include <cstdlib>

#include "desktop/x11/monitores_x11.h"

namespace tildo {
namespace {

template <typename T>
struct Liberar {
  void operator()(T* p) const { std::free(p); }
};
template <typename T>
using Respuesta = std::unique_ptr<T, Liberar<T>>;

struct LiberarMapa {
  void operator()(xkb_keymap* m) const { xkb_keymap_unref(m); }
};
struct LiberarEstado {
  void operator()(xkb_state* s) const { xkb_state_unref(s); }
};
struct LiberarContexto {
  void operator()(xkb_context* c) const { xkb_context_unref(c); }
};

// The keyboard as XKB describes it: which keysym a keycode gives in the active group and
// modifiers, kept up to date with the server's notices.
class Teclado {
 public:
  // False when the server has no usable XKB.
  bool abrir(xcb_connection_t* c) {
    c_ = c;
    if (!xkb_x11_setup_xkb_extension(
            c, XKB_X11_MIN_MAJOR_XKB_VERSION, XKB_X11_MIN_MINOR_XKB_VERSION,
            XKB_X11_SETUP_XKB_EXTENSION_NO_FLAGS, nullptr, nullptr, &eventoBase_, nullptr))
      return false;
    contexto_.reset(xkb_context_new(XKB_CONTEXT_NO_FLAGS));
    dispositivo_ = xkb_x11_get_core_keyboard_device_id(c);
    if (!contexto_ || dispositivo_ < 0 || !releer()) return false;
    // Layout changes and the state's groups and modifiers, nothing else.
    constexpr uint16_t ESTADO = XCB_XKB_STATE_PART_MODIFIER_BASE |
                                XCB_XKB_STATE_PART_MODIFIER_LATCH |
                                XCB_XKB_STATE_PART_MODIFIER_LOCK | XCB_XKB_STATE_PART_GROUP_BASE |
                                XCB_XKB_STATE_PART_GROUP_LATCH | XCB_XKB_STATE_PART_GROUP_LOCK;
    constexpr uint16_t MAPA = XCB_XKB_MAP_PART_KEY_TYPES | XCB_XKB_MAP_PART_KEY_SYMS |
                              XCB_XKB_MAP_PART_MODIFIER_MAP | XCB_XKB_MAP_PART_EXPLICIT_COMPONENTS |
                              XCB_XKB_MAP_PART_KEY_ACTIONS | XCB_XKB_MAP_PART_VIRTUAL_MODS |
                              XCB_XKB_MAP_PART_VIRTUAL_MOD_MAP;
    xcb_xkb_select_events_details_t detalles{};
    detalles.affectNewKeyboard = XCB_XKB_NKN_DETAIL_KEYCODES;
    detalles.newKeyboardDetails = XCB_XKB_NKN_DETAIL_KEYCODES;
    detalles.affectState = ESTADO;
    detalles.stateDetails = ESTADO;
    const uint16_t eventos = XCB_XKB_EVENT_TYPE_NEW_KEYBOARD_NOTIFY |
                             XCB_XKB_EVENT_TYPE_MAP_NOTIFY | XCB_XKB_EVENT_TYPE_STATE_NOTIFY;
    Respuesta<xcb_generic_error_t> error(xcb_request_check(
        c, xcb_xkb_select_events_aux_checked(c, static_cast<xcb_xkb_device_spec_t>(dispositivo_),
                                             eventos, 0, 0, MAPA, MAPA, &detalles)));
    return !error;
  }

  bool esEscape(xcb_keycode_t codigo) const {
    return xkb_state_key_get_one_sym(estado_.get(), codigo) == XKB_KEY_Escape;
  }

  // Shift, Control, Alt, the logo keys, the locks and the level and group shifts: the keys the
  // platform's tap hears as a change of flags rather than as a key going down.
  bool esModificador(xcb_keycode_t codigo) const {
    const xkb_keysym_t s = xkb_state_key_get_one_sym(estado_.get(), codigo);
    return (s >= XKB_KEY_Shift_L && s <= XKB_KEY_Hyper_R) ||
           (s >= XKB_KEY_ISO_Lock && s <= XKB_KEY_ISO_Level5_Lock) || s == XKB_KEY_Mode_switch ||
           s == XKB_KEY_Num_Lock;
  }

  // Takes an XKB notice; false when the event is none.
  bool atender(const xcb_generic_event_t* e) {
    if ((e->response_type & 0x7f) != eventoBase_) return false;
    struct Cabecera {
      uint8_t response_type, xkbType;
      uint16_t sequence;
      xcb_timestamp_t time;
      uint8_t deviceID;
    };
    const auto* cabecera = reinterpret_cast<const Cabecera*>(e);
    if (cabecera->deviceID != dispositivo_) return true;
    if (cabecera->xkbType == XCB_XKB_STATE_NOTIFY) {
      const auto* s = reinterpret_cast<const xcb_xkb_state_notify_event_t*>(e);
      xkb_state_update_mask(estado_.get(), s->baseMods, s->latchedMods, s->lockedMods,
                            static_cast<xkb_layout_index_t>(s->baseGroup),
                            static_cast<xkb_layout_index_t>(s->latchedGroup), s->lockedGroup);
    } else if (cabecera->xkbType == XCB_XKB_NEW_KEYBOARD_NOTIFY ||
               cabecera->xkbType == XCB_XKB_MAP_NOTIFY) {
      releer();
    }
    return true;
  }

 private:
  bool releer() {
    std::unique_ptr<xkb_keymap, LiberarMapa> mapa(xkb_x11_keymap_new_from_device(
        contexto_.get(), c_, dispositivo_, XKB_KEYMAP_COMPILE_NO_FLAGS));
    if (!mapa) return false;
    std::unique_ptr<xkb_state, LiberarEstado> estado(
        xkb_x11_state_new_from_device(mapa.get(), c_, dispositivo_));
    if (!estado) return false;
    mapa_ = std::move(mapa);
    estado_ = std::move(estado);
    return true;
  }

  xcb_connection_t* c_ = nullptr;
  uint8_t eventoBase_ = 0;
  int32_t dispositivo_ = -1;
  std::unique_ptr<xkb_context, LiberarContexto> contexto_;
  std::unique_ptr<xkb_keymap, LiberarMapa> mapa_;
  std::unique_ptr<xkb_state, LiberarEstado> estado_;
};

class EventosX11 : public FuenteDeEventos {
 public:
  ~EventosX11() override {
    if (c_) xcb_disconnect(c_);
  }

  // Empty when the display listens; otherwise why not.
  std::string abrir() {
    const char* nombre = std::getenv("DISPLAY");
    if (!nombre || !*nombre) return "no hay pantalla X (DISPLAY)";
    int numero = 0;
    c_ = xcb_connect(nullptr, &numero);
    if (xcb_connection_has_error(c_))
      return std::string("no pude conectar con la pantalla X «") + nombre + "»";
    const xcb_setup_t* setup = xcb_get_setup(c_);
    auto pantalla = xcb_setup_roots_iterator(setup);
    for (int i = 0; i < numero && pantalla.rem; ++i) xcb_screen_next(&pantalla);
    if (!pantalla.rem) return "la pantalla X no tiene la pantalla pedida";
    raiz_ = pantalla.data->root;

    const auto* xi = xcb_get_extension_data(c_, &xcb_input_id);
    if (!xi || !xi->present) return "la pantalla X no tiene XInput";
    opcodeXi_ = xi->major_opcode;
    // 2.2 or later also sends raw events while another client holds a grab.
    Respuesta<xcb_input_xi_query_version_reply_t> version(
        xcb_input_xi_query_version_reply(c_, xcb_input_xi_query_version(c_, 2, 2), nullptr));
    if (!version || version->major_version < 2) return "la pantalla X no tiene XInput 2.0";
    struct {
      xcb_input_event_mask_t cabecera;
      uint32_t mascara;
    } seleccion{{XCB_INPUT_DEVICE_ALL_MASTER, 1},
                XCB_INPUT_XI_EVENT_MASK_RAW_KEY_PRESS | XCB_INPUT_XI_EVENT_MASK_RAW_BUTTON_PRESS |
                    XCB_INPUT_XI_EVENT_MASK_RAW_MOTION};
    Respuesta<xcb_generic_error_t> error(xcb_request_check(
        c_, xcb_input_xi_select_events_checked(c_, raiz_, 1, &seleccion.cabecera)));
    if (error) return "la pantalla X no dejó escuchar los eventos crudos de XInput 2";

    if (!teclado_.abrir(c_)) return "la pantalla X no tiene un teclado XKB legible";

    const auto* randr = xcb_get_extension_data(c_, &xcb_randr_id);
    if (randr && randr->present) {
      eventoRandr_ = randr->first_event;
      xcb_randr_select_input(c_, raiz_,
                             XCB_RANDR_NOTIFY_MASK_SCREEN_CHANGE |
                                 XCB_RANDR_NOTIFY_MASK_CRTC_CHANGE |
                                 XCB_RANDR_NOTIFY_MASK_OUTPUT_CHANGE);
      leerOrigen();
    }
    xcb_flush(c_);
    return "";
  }

  bool esperar(std::vector<EventoDeEntrada>& lote) override {
    xcb_generic_event_t* e = xcb_wait_for_event(c_);
    if (!e) return false;
    const size_t desde = lote.size();
    bool conPuntero = false;
    do {
      traducir(e, lote, desde, conPuntero);
      std::free(e);
    } while ((e = xcb_poll_for_queued_event(c_)));
    if (conPuntero) {
      // Raw events carry no position: one query serves the whole batch.
      Respuesta<xcb_query_pointer_reply_t> puntero(
          xcb_query_pointer_reply(c_, xcb_query_pointer(c_, raiz_), nullptr));
      if (!puntero && xcb_connection_has_error(c_)) return false;
      if (puntero) ultimo_ = {puntero->root_x - origen_.x, puntero->root_y - origen_.y};
      for (size_t i = desde; i < lote.size(); ++i)
        if (lote[i].tipo != tipo::TECLA_ABAJO) lote[i].punto = ultimo_;
    }
    return true;
  }

  std::string motivo() const override { return "se perdió la conexión con la pantalla X"; }

 private:
  void traducir(const xcb_generic_event_t* e, std::vector<EventoDeEntrada>& lote, size_t desde,
                bool& conPuntero) {
    const uint8_t tipoX = e->response_type & 0x7f;
    if (teclado_.atender(e)) return;
    if (eventoRandr_ && (tipoX == eventoRandr_ + XCB_RANDR_SCREEN_CHANGE_NOTIFY ||
                         tipoX == eventoRandr_ + XCB_RANDR_NOTIFY)) {
      leerOrigen();
      return;
    }
    if (tipoX != XCB_GE_GENERIC) return;
    const auto* ge = reinterpret_cast<const xcb_ge_generic_event_t*>(e);
    if (ge->extension != opcodeXi_) return;
    const auto* crudo = reinterpret_cast<const xcb_input_raw_button_press_event_t*>(e);
    switch (ge->event_type) {
      case XCB_INPUT_RAW_KEY_PRESS: {
        const auto codigo = static_cast<xcb_keycode_t>(crudo->detail);
        if (teclado_.esModificador(codigo)) return;
        lote.push_back(
            {tipo::TECLA_ABAJO, {}, teclado_.esEscape(codigo) ? TECLA_ESCAPE : TECLA_DESCONOCIDA});
        return;
      }
      case XCB_INPUT_RAW_BUTTON_PRESS:
        lote.push_back({tipoDeBoton(crudo->detail), {}});
        conPuntero = true;
        return;
      case XCB_INPUT_RAW_MOTION: {
        // Axes 0 and 1 are x and y; a motion that moves neither is a smooth-scroll step,
        // already heard as its wheel button.
        const uint32_t* ejes = xcb_input_raw_button_press_valuator_mask(crudo);
        if (crudo->valuators_len == 0 || !(ejes[0] & 0x3)) return;
        // Motion already queued behind motion is seen at the same position.
        if (lote.size() > desde && lote.back().tipo == tipo::MOVIDO) return;
        lote.push_back({tipo::MOVIDO, {}});
        conPuntero = true;
        return;
      }
    }
  }

  // X11's buttons 4 to 7 are wheel steps; 8 and up are the extra buttons.
  static int tipoDeBoton(uint32_t boton) {
    if (boton == 1) return tipo::IZQUIERDO_ABAJO;
    if (boton == 3) return tipo::DERECHO_ABAJO;
    if (boton >= 4 && boton <= 7) return tipo::RUEDA;
    return tipo::OTRO_ABAJO;
  }

  // Global points are measured from the primary monitor's top-left corner (the first
  // monitor's when none is primary), as tildo-ax's pointer commands take them.
  void leerOrigen() {
    if (auto lista = monitoresX11(c_, raiz_); !lista.empty())
      origen_ = {lista.front().x, lista.front().y};
  }

  xcb_connection_t* c_ = nullptr;
  xcb_window_t raiz_ = 0;
  uint8_t opcodeXi_ = 0;
  uint8_t eventoRandr_ = 0;
  Teclado teclado_;
  Punto origen_;
  Punto ultimo_;
};

}  // namespace

AperturaDeEventos abrirEventosX11() {
  auto fuente = std::make_unique<EventosX11>();
  std::string causa = fuente->abrir();
  if (!causa.empty()) return {nullptr, std::move(causa)};
  return {std::move(fuente), ""};
}

}  // namespace tildo
