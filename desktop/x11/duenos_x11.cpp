#include "desktop/x11/duenos_x11.h"

#include <xcb/xcb.h>

#include <array>
#include <cstdlib>
#include <string_view>

#include "desktop/x11/conexion.h"
#include "desktop/x11/ventanas_x11.h"

namespace tildo {

namespace {

// A text property's text, read by its type; nothing when the window has none.
std::optional<std::string> textoDe(xcb_connection_t* c, ServidorVentanas& servidor,
                                   xcb_get_property_cookie_t pedida) {
  xcb_get_property_reply_t* r = xcb_get_property_reply(c, pedida, nullptr);
  if (!r) return std::nullopt;
  std::optional<std::string> texto;
  if (r->type != XCB_ATOM_NONE && r->format == 8)
    texto = servidor.texto(r->type,
                           {static_cast<const char*>(xcb_get_property_value(r)),
                            size_t(xcb_get_property_value_length(r))},
                           r->bytes_after > 0);
  free(r);
  return texto;
}

}  // namespace

DuenosDeVentanas duenosDeVentanas(ConexionX11& conexion, ServidorVentanas& servidor) {
  DuenosDeVentanas duenos;
  xcb_connection_t* c = conexion.xcb();
  if (!c) return duenos;
  constexpr std::array<std::string_view, 3> NOMBRES = {"_NET_WM_PID", "_GTK_APPLICATION_ID",
                                                       "_KDE_NET_WM_DESKTOP_FILE"};
  std::array<xcb_intern_atom_cookie_t, 3> internados;
  for (size_t i = 0; i < NOMBRES.size(); ++i)
    internados[i] = xcb_intern_atom(c, 1, NOMBRES[i].size(), NOMBRES[i].data());
  const auto clientes = servidor.clientes().value_or(std::vector<Window>{});
  std::array<xcb_atom_t, 3> atomos{};
  for (size_t i = 0; i < NOMBRES.size(); ++i) {
    if (auto* r = xcb_intern_atom_reply(c, internados[i], nullptr)) {
      atomos[i] = r->atom;
      free(r);
    }
  }
  // An atom no client has interned names no property of any window.
  auto pedir = [&](xcb_window_t w, xcb_atom_t nombre, xcb_atom_t tipo, uint32_t largo) {
    return nombre == XCB_ATOM_NONE ? std::optional<xcb_get_property_cookie_t>{}
                                   : xcb_get_property(c, 0, w, nombre, tipo, 0, largo);
  };
  struct Pedidas {
    std::optional<xcb_get_property_cookie_t> pid, gtk, kde, clase;
  };
  std::vector<Pedidas> pedidas;
  for (Window w : clientes)
    pedidas.push_back({pedir(w, atomos[0], XCB_ATOM_CARDINAL, 1),
                       pedir(w, atomos[1], XCB_GET_PROPERTY_TYPE_ANY, 1024),
                       pedir(w, atomos[2], XCB_GET_PROPERTY_TYPE_ANY, 1024),
                       pedir(w, XCB_ATOM_WM_CLASS, XCB_GET_PROPERTY_TYPE_ANY, 8192)});
  // Every answer is read, in order, so that none is left behind on the connection.
  std::map<int32_t, std::string> clases;
  for (auto& p : pedidas) {
    std::optional<int32_t> pid;
    if (p.pid) {
      if (auto* r = xcb_get_property_reply(c, *p.pid, nullptr)) {
        if (r->type == XCB_ATOM_CARDINAL && r->format == 32 &&
            xcb_get_property_value_length(r) >= 4)
          pid = *static_cast<const int32_t*>(xcb_get_property_value(r));
        free(r);
      }
    }
    std::optional<std::string> id;
    for (auto& pedida : {p.gtk, p.kde}) {
      if (!pedida) continue;
      auto t = textoDe(c, servidor, *pedida);
      if (!id && t && t->find('.') != std::string::npos) id = std::move(t);
    }
    // WM_CLASS is the instance name and the class, each ended by a zero byte.
    std::string clase;
    if (p.clase) {
      const auto nombres = textoDe(c, servidor, *p.clase).value_or("");
      if (auto fin = nombres.find('\0'); fin != std::string::npos)
        clase = std::string(nombres.c_str() + fin + 1);
    }
    if (!pid) continue;
    duenos.pids.push_back(*pid);
    if (id) duenos.bundles.emplace(*pid, std::move(*id));
    if (!clase.empty()) clases.emplace(*pid, std::move(clase));
  }
  // An application id on any of a process's windows comes before the class of its first.
  duenos.bundles.merge(clases);
  return duenos;
}

}  // namespace tildo
