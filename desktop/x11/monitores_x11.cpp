#include "desktop/x11/monitores_x11.h"

#include <xcb/randr.h>

#include <cstdlib>
#include <memory>

namespace tildo {

std::vector<Rect> monitoresX11(xcb_connection_t* c, xcb_window_t raiz) {
  std::vector<Rect> lista;
  // A request of an extension the server lacks would close the connection.
  const xcb_query_extension_reply_t* randr = xcb_get_extension_data(c, &xcb_randr_id);
  if (!randr || !randr->present) return lista;
  std::unique_ptr<xcb_randr_get_monitors_reply_t, decltype(&std::free)> monitores(
      xcb_randr_get_monitors_reply(c, xcb_randr_get_monitors(c, raiz, 1), nullptr), std::free);
  if (!monitores) return lista;
  for (auto it = xcb_randr_get_monitors_monitors_iterator(monitores.get()); it.rem;
       xcb_randr_monitor_info_next(&it)) {
    const Rect r{double(it.data->x), double(it.data->y), double(it.data->width),
                 double(it.data->height)};
    if (it.data->primary)
      lista.insert(lista.begin(), r);
    else
      lista.push_back(r);
  }
  return lista;
}

Punto origenDelPrincipal(xcb_connection_t* c, xcb_window_t raiz) {
  const auto lista = monitoresX11(c, raiz);
  if (lista.empty()) return {};
  return {lista.front().x, lista.front().y};
}

}  // namespace tildo
