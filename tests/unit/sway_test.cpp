// What the Wayland backend makes of sway's tree and of app ids, without a compositor.
#include <gtest/gtest.h>

#include "desktop/wayland/sway.h"
#include "desktop/wayland/ventanas_ajenas.h"

namespace tildo {
namespace {

// A workspace with a tiled window under its title bar and a floating one focused, and a
// window put away in the scratchpad, as sway 1.7 gives them.
const char* const ARBOL = R"({
  "id": 1, "type": "root", "focus": [3, 100],
  "nodes": [
    {"id": 100, "type": "output", "name": "__i3", "nodes": [
      {"id": 101, "type": "workspace", "name": "__i3_scratch", "floating_nodes": [
        {"id": 7, "type": "floating_con", "shell": "xdg_shell", "pid": 70, "app_id": "zenity",
         "name": "Guardada", "visible": false,
         "rect": {"x": 0, "y": 0, "width": 10, "height": 10}}]}]},
    {"id": 3, "type": "output", "name": "HEADLESS-1", "focus": [4], "nodes": [
      {"id": 4, "type": "workspace", "name": "1", "focus": [6, 5],
       "nodes": [
         {"id": 5, "type": "con", "shell": "xdg_shell", "pid": 50, "app_id": "", "name": "Tiled",
          "visible": true, "window_properties": {"class": "XClase"},
          "rect": {"x": 0, "y": 25, "width": 1280, "height": 775},
          "window_rect": {"x": 2, "y": 0, "width": 1276, "height": 773},
          "deco_rect": {"x": 0, "y": 0, "width": 1280, "height": 25}}],
       "floating_nodes": [
         {"id": 6, "type": "floating_con", "shell": "xdg_shell", "pid": 60,
          "app_id": "org.example.Editor", "name": "Flotante", "visible": true, "focused": true,
          "rect": {"x": 300, "y": 225, "width": 400, "height": 175},
          "window_rect": {"x": 2, "y": 0, "width": 396, "height": 173},
          "deco_rect": {"x": 300, "y": 200, "width": 400, "height": 25}}]}]}]
})";

TEST(Sway, VentanasDelArbolConMarcoContenidoYEstado) {
  const auto ventanas = ventanasDelArbol(Json::parse(ARBOL));
  ASSERT_EQ(ventanas.size(), 3u);
  // Focus order: the focused floating window, then the tiled one, then the scratchpad's.
  const VentanaCompositor& f = ventanas[0];
  EXPECT_EQ(f.id, 6);
  EXPECT_EQ(f.pid, 60);
  EXPECT_EQ(f.appId, "org.example.Editor");
  EXPECT_TRUE(f.enfocada);
  // The frame takes in the title bar above the container; the content is where the surface's
  // room starts.
  ASSERT_TRUE(f.marco && f.contenido);
  EXPECT_EQ(f.marco->y, 200);
  EXPECT_EQ(f.marco->alto, 200);
  EXPECT_EQ(f.contenido->x, 302);
  EXPECT_EQ(f.contenido->y, 225);
  EXPECT_EQ(f.contenido->ancho, 396);

  const VentanaCompositor& t = ventanas[1];
  EXPECT_EQ(t.titulo, "Tiled");
  EXPECT_EQ(t.appId, "XClase");  // an X client's class where there is no app id
  EXPECT_TRUE(t.visible);
  EXPECT_FALSE(t.minimizada);
  ASSERT_TRUE(t.marco);
  EXPECT_EQ(t.marco->y, 0);
  EXPECT_EQ(t.marco->alto, 800);

  const VentanaCompositor& g = ventanas[2];
  EXPECT_EQ(g.titulo, "Guardada");
  EXPECT_TRUE(g.minimizada);
  EXPECT_FALSE(g.visible);
  EXPECT_FALSE(g.contenido);
}

TEST(Sway, UnAppIdNombraSuPrograma) {
  EXPECT_TRUE(nombraAlPrograma("zenity", "zenity"));
  EXPECT_TRUE(nombraAlPrograma("org.example.Editor", "editor"));
  EXPECT_TRUE(nombraAlPrograma("Gimp", "gimp"));
  EXPECT_FALSE(nombraAlPrograma("org.example.Editor", "example"));
  EXPECT_FALSE(nombraAlPrograma("zenity", "zen"));
  EXPECT_FALSE(nombraAlPrograma("", "zenity"));
  EXPECT_FALSE(nombraAlPrograma("zenity", ""));
}

}  // namespace
}  // namespace tildo
