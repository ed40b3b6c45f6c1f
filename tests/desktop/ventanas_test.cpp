// Windows, work area and screen information on the real desktop under openbox, checked
// against what the X server itself reports.
#include <gtest/gtest.h>

#include <thread>

#include "escritorio_real.h"
#include "pantalla_x.h"

// After gtest: Xlib's None macro would clash with gtest's own None.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace tildo::prueba {
namespace {

class X : public PantallaX {
 public:
  // The frame the user sees: the client's place on the root window widened by the
  // decorations the manager reports.
  Json marco(Window w) {
    XWindowAttributes a;
    XGetWindowAttributes(d(), w, &a);
    int x = 0, y = 0;
    Window hijo;
    XTranslateCoordinates(d(), w, raiz(), 0, 0, &x, &y, &hijo);
    auto b = propiedad(w, "_NET_FRAME_EXTENTS", XA_CARDINAL);
    b.resize(4, 0);
    return {{"x", x - long(b[0])},
            {"y", y - long(b[2])},
            {"ancho", a.width + long(b[0] + b[1])},
            {"alto", a.height + long(b[2] + b[3])}};
  }

  bool oculta(Window w) {
    const Atom h = XInternAtom(d(), "_NET_WM_STATE_HIDDEN", False);
    for (auto a : propiedad(w, "_NET_WM_STATE", XA_ATOM))
      if (a == h) return true;
    return false;
  }

  Window activa() {
    auto v = propiedad(raiz(), "_NET_ACTIVE_WINDOW", XA_WINDOW);
    return v.empty() ? 0 : v.front();
  }
};

// The entry of the windows reply with that title, or null.
Json entradaDe(const Json& respuesta, const std::string& titulo) {
  for (const auto& v : respuesta.value("ventanas", Json::array()))
    if (v["titulo"] == titulo) return v;
  return nullptr;
}

std::vector<std::string> texto(const std::string& titulo) {
  return {"zenity", "--text-info", "--title=" + titulo, "--filename=/etc/hostname"};
}

TEST(Ventanas, ColocaElMarcoVisibleDondeSePide) {
  Aplicacion z(texto("Para colocar"));
  const Window w = esperarVentana("Para colocar");
  ASSERT_NE(w, 0u) << z.errores();
  const std::string pid = std::to_string(z.pid());
  auto s = ax({"place", "--pid", pid, "--x", "100", "--y", "80.4", "--ancho", "520", "--alto",
               "310", "--titulo", "COLOCAR"});
  ASSERT_EQ(s.codigo, 0) << s.stdout_;
  EXPECT_EQ(s.stderr_, "");
  const Json esperado = {{"x", 100}, {"y", 80}, {"ancho", 520}, {"alto", 310}};
  const Json r = s.json();
  EXPECT_EQ(r["real"], esperado);
  EXPECT_EQ(r["pedido"], (Json{{"x", 100}, {"y", 80.4}, {"ancho", 520}, {"alto", 310}}));
  EXPECT_EQ(r["titulo"], "Para colocar");
  X x;
  EXPECT_EQ(x.marco(w), esperado);
  EXPECT_EQ(entradaDe(ax({"windows"}).json(), "Para colocar")["marco"], esperado);
}

TEST(Ventanas, SinAyudaDelGestorLoLejanoSeQuedaEnElBordeDeLoQueLlevaX) {
  Aplicacion z(texto("Lejos"));
  const Window w = esperarVentana("Lejos");
  ASSERT_NE(w, 0u) << z.errores();
  // The manager no longer says it moves windows on request: place configures the window itself,
  // and X carries positions in 16 bits.
  X x;
  const Atom mover = XInternAtom(x.d(), "_NET_MOVERESIZE_WINDOW", False);
  std::vector<long> soportados;
  for (auto a : x.propiedad(x.raiz(), "_NET_SUPPORTED", XA_ATOM))
    if (a != mover) soportados.push_back(long(a));
  XChangeProperty(x.d(), x.raiz(), XInternAtom(x.d(), "_NET_SUPPORTED", False), XA_ATOM, 32,
                  PropModeReplace, reinterpret_cast<unsigned char*>(soportados.data()),
                  int(soportados.size()));
  XSync(x.d(), False);
  auto s = ax({"place", "--pid", std::to_string(z.pid()), "--x", "40000", "--y", "-40000",
               "--ancho", "300", "--alto", "200"});
  ASSERT_EQ(s.codigo, 0) << s.stdout_;
  const Json r = s.json();
  EXPECT_EQ(r["pedido"], (Json{{"x", 40000}, {"y", -40000}, {"ancho", 300}, {"alto", 200}}));
  // The manager keeps a corner of the window on screen: at the right edge and above the top,
  // where a position that wrapped round would have put it at the left and below.
  EXPECT_GT(r["real"]["x"].get<long>(), 1000) << s.stdout_;
  EXPECT_LT(r["real"]["y"].get<long>(), 0) << s.stdout_;
  EXPECT_EQ(r["real"]["ancho"], 300);
}

TEST(Ventanas, ElMarcoVisibleDejaFueraLasSombrasDelCliente) {
  Aplicacion v({VENTANA_CON_SOMBRA});
  const Window w = esperarVentana("Con sombra");
  ASSERT_NE(w, 0u) << v.errores();
  X x;
  // The client's 400x300 less 12 on each side, 8 above and 16 below.
  const Json cliente = x.marco(w);
  const Json visible = {{"x", cliente["x"].get<long>() + 12},
                        {"y", cliente["y"].get<long>() + 8},
                        {"ancho", 376},
                        {"alto", 276}};
  EXPECT_EQ(entradaDe(ax({"windows"}).json(), "Con sombra")["marco"], visible);

  auto s = ax({"place", "--pid", std::to_string(v.pid()), "--x", "50", "--y", "60", "--ancho",
               "300", "--alto", "200"});
  const Json esperado = {{"x", 50}, {"y", 60}, {"ancho", 300}, {"alto", 200}};
  EXPECT_EQ(s.json()["real"], esperado) << s.stdout_;
  EXPECT_EQ(x.marco(w), (Json{{"x", 38}, {"y", 52}, {"ancho", 324}, {"alto", 224}}));
}

TEST(Ventanas, MinimizaYColocarLaDevuelve) {
  Aplicacion z(texto("Para minimizar"));
  const Window w = esperarVentana("Para minimizar");
  ASSERT_NE(w, 0u) << z.errores();
  const std::string pid = std::to_string(z.pid());
  auto s = ax({"minimize", "--pid", pid});
  EXPECT_EQ(s.stdout_, "{\"minimizada\":\"Para minimizar\",\"ok\":true}\n");
  X x;
  EXPECT_TRUE(hasta(5s, [&] { return x.oculta(w); }));
  EXPECT_TRUE(entradaDe(ax({"windows"}).json(), "Para minimizar").is_null());

  s = ax({"place", "--pid", pid, "--x", "40", "--y", "50", "--ancho", "400", "--alto", "300"});
  EXPECT_EQ(s.json()["real"], (Json{{"x", 40}, {"y", 50}, {"ancho", 400}, {"alto", 300}}));
  EXPECT_TRUE(hasta(5s, [&] { return !x.oculta(w); }));
  EXPECT_FALSE(entradaDe(ax({"windows"}).json(), "Para minimizar").is_null());
}

// Two applications' windows listed with their title, pid and frame, the one in front first, and
// the one behind brought to the front.
TEST(Ventanas, ListaYFocusTraeAlFrenteLaVentanaDeOtraApp) {
  Aplicacion primera(texto("Primera"));
  const Window w1 = esperarVentana("Primera");
  ASSERT_NE(w1, 0u) << primera.errores();
  ASSERT_TRUE(esperarFoco(w1));
  Aplicacion segunda(texto("Segunda"));
  const Window w2 = esperarVentana("Segunda");
  ASSERT_NE(w2, 0u) << segunda.errores();
  ASSERT_TRUE(esperarFoco(w2));
  X x;
  auto s = ax({"windows"});
  sinErrores(s);
  const Json v = entradaDe(s.json(), "Segunda");
  ASSERT_FALSE(v.is_null()) << s.stdout_;
  EXPECT_EQ(v["id"], w2);
  EXPECT_EQ(v["pid"], segunda.pid());
  EXPECT_EQ(v["app"], "zenity");
  EXPECT_EQ(v["marco"], x.marco(w2));
  EXPECT_EQ(s.json()["ventanas"][0]["titulo"], "Segunda");

  s = ax({"focus", "--pid", std::to_string(primera.pid()), "--titulo", "prim"});
  EXPECT_EQ(s.codigo, 0) << s.stdout_;
  EXPECT_EQ(s.stderr_, "");
  EXPECT_TRUE(s.json()["ok"].get<bool>());
  EXPECT_TRUE(hasta(5s, [&] { return x.activa() == w1; }));
  EXPECT_EQ(ax({"windows"}).json()["ventanas"][0]["titulo"], "Primera");
  // The workspace sees it in front too.
  EXPECT_EQ(ax({"frontmost"}).json()["app"], "zenity");
  const Json info = ax({"info"}).json();
  EXPECT_EQ(info["pid_en_primer_plano"], primera.pid());
  EXPECT_EQ(info["titulo_ventana"], "Primera");
}

// The virtual screen and the pointer as info gives them, and the work area less what a panel
// reserves.
TEST(Ventanas, InfoYElAreaDeTrabajoSinLoQueReservaUnPanel) {
  X x;
  XWarpPointer(x.d(), None, x.raiz(), 0, 0, 0, 0, 100, 200);
  XSync(x.d(), False);
  auto s = ax({"info"});
  sinErrores(s);
  const Json r = s.json();
  EXPECT_EQ(r["pantalla_puntos"], (Json{{"ancho", 1280}, {"alto", 800}}));
  EXPECT_EQ(r["pantalla_pixeles"], (Json{{"ancho", 1280}, {"alto", 800}}));
  EXPECT_EQ(r["escala"], 1.0);
  EXPECT_EQ(r["cursor"], (Json{{"x", 100}, {"y", 200}}));
  EXPECT_EQ(r["pantalla_concedida"], true);
  EXPECT_NE(r["macos"].get<std::string>().find("Linux"), std::string::npos);

  s = ax({"work-area"});
  EXPECT_EQ(s.stdout_, "{\"alto\":800,\"ancho\":1280,\"ok\":true,\"x\":0,\"y\":0}\n");
  Aplicacion panel({PANEL_DE_PRUEBA, "30"});
  EXPECT_TRUE(hasta(5s, [&] {
    s = ax({"work-area"});
    return s.stdout_ == "{\"alto\":770,\"ancho\":1280,\"ok\":true,\"x\":0,\"y\":30}\n";
  })) << s.stdout_;
  // A dock sits at its own layer, off the list of ordinary windows.
  EXPECT_TRUE(entradaDe(ax({"windows"}).json(), "Panel de prueba").is_null());
}

}  // namespace
}  // namespace tildo::prueba
