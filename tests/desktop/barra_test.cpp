// tildo-ui's control bar on the real desktop, each test in a process table of its own (so the
// bars and stand-in agents of one run never meet another's): the rows pressed by tildo-ax and
// by clicks, the files it keeps, the hide marker, the single-instance rules, dragging, focus
// and stacking. Screenshots go to build/capturas.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <set>
#include <thread>

// After gtest: Xlib defines None.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include "common/archivos.h"
#include "escritorio_real.h"
#include "pantalla_x.h"
#include "ui/bar/procesos.h"
#include "ui/bar/procesos_proc.h"

namespace tildo::prueba {
namespace {

const std::string UI = carpetaDeProgramas() + "/tildo-ui";
const std::string TITULO = "Tildo — barra";

// A stand-in agent server: a process whose command line is "tildo.mjs 600".
std::vector<std::string> agente(const std::string& nombre = "tildo.mjs") {
  return {"bash", "-c", "exec -a " + nombre + " sleep 600"};
}

class Carpeta : public CarpetaTemporal {
 public:
  // A bar that traces; with pgrep, it finds processes by starting /usr/bin/pgrep.
  std::vector<std::string> barra(bool pgrep = false) const {
    return {"env",
            "TILDO_CONFIG=" + ruta().string(),
            "TILDO_UI_DEBUG=1",
            std::string("TILDO_BARRA_PGREP=") + (pgrep ? "1" : "0"),
            UI,
            "barra"};
  }
  Json json(const std::string& archivo) const {
    return Json::parse(leerArchivo(*this / archivo).value_or(""), nullptr, false);
  }
};

// The X display, for what the window manager says about the bar's window.
class X : public PantallaX {
 public:
  std::set<std::string> estados(Window w) {
    std::set<std::string> s;
    for (unsigned long a : propiedad(w, "_NET_WM_STATE", XA_ATOM)) {
      char* nombre = XGetAtomName(d(), a);
      s.insert(nombre);
      XFree(nombre);
    }
    return s;
  }
  bool mapeada(Window w) {
    XWindowAttributes a{};
    return XGetWindowAttributes(d(), w, &a) && a.map_state == IsViewable;
  }
  // The position in the window manager's stacking order, bottom first.
  long altura(Window w) {
    const auto pila = propiedad(raiz(), "_NET_CLIENT_LIST_STACKING", XA_WINDOW);
    for (size_t i = 0; i < pila.size(); ++i)
      if (pila[i] == w) return static_cast<long>(i);
    return -1;
  }
  // The window's top-left corner on the root window.
  std::pair<int, int> origen(Window w) {
    int x = 0, y = 0;
    Window hijo;
    XTranslateCoordinates(d(), w, raiz(), 0, 0, &x, &y, &hijo);
    return {x, y};
  }
  bool aceptaFoco(Window w) {
    XWMHints* h = XGetWMHints(d(), w);
    const bool acepta = !h || !(h->flags & InputHint) || h->input;
    if (h) XFree(h);
    return acepta;
  }
};

// tildo-ui's element whose title is exactly this, from tildo-ax's outline.
Json elemento(const std::string& titulo) {
  const Json arbol = ax({"ax-tree", "--app", "tildo-ui"}).json();
  if (!arbol.contains("elementos")) return nullptr;
  for (const Json& e : arbol["elementos"])
    if (e.value("titulo", "") == titulo) return e;
  return nullptr;
}

bool clicEn(const std::string& titulo) {
  return axEnCentro("click", elemento(titulo)).json()["ok"] == true;
}

TEST(Barra, UnaBarraQueSeUsaConElRatonYConTildoAx) {
  Carpeta c;
  escribirEnSitio(c / "ajustes.json", R"({"idioma": "es"})");
  Aplicacion tildo(agente());
  Aplicacion barra(c.barra());
  EXPECT_EQ(primeraLinea(barra),
            Json({{"barra", true}, {"compacta", true}, {"listo", true}, {"ok", true}}))
      << barra.errores();
  X x;
  const Window w = esperarVentana(TITULO);
  ASSERT_NE(w, 0u);
  const auto estados = x.estados(w);
  for (const char* e :
       {"_NET_WM_STATE_ABOVE", "_NET_WM_STATE_SKIP_TASKBAR", "_NET_WM_STATE_SKIP_PAGER"})
    EXPECT_TRUE(estados.count(e)) << e;
  // On every desktop (openbox says so by the desktop number alone, without the sticky state).
  const auto escritorio = x.propiedad(w, "_NET_WM_DESKTOP", XA_CARDINAL);
  ASSERT_EQ(escritorio.size(), 1u);
  EXPECT_EQ(static_cast<uint32_t>(escritorio[0]), 0xFFFFFFFFu);
  EXPECT_FALSE(x.aceptaFoco(w));
  EXPECT_EQ(c.json("barra-posicion.json"),
            Json({{"x", 7}, {"y", 698}, {"w", 44}, {"h", 72}, {"abajo", 770}, {"chica", true}}));
  EXPECT_EQ(leerArchivo(c / "barra.lock"), std::to_string(barra.pid()));

  // A second bar leaves before drawing anything.
  Aplicacion segunda(c.barra());
  EXPECT_EQ(segunda.esperarFin(), 0);
  EXPECT_EQ(segunda.salida(), "");
  EXPECT_EQ(segunda.errores(),
            "[tildo-ui] arrancando la barra\n"
            "[tildo-ui] ya había otra barra: me retiro sin dibujar\n");
  capturar("escritorio-barra-compacta");

  // The user works in an entry; clicking the bar opens it without taking the keyboard.
  DialogoEntrada entrada("Entrada con barra");
  ASSERT_TRUE(entrada.listo());
  const Window dialogo = esperarVentana("Entrada con barra");
  ASSERT_TRUE(clicEn("Abrir la barra"));
  EXPECT_TRUE(hasta(3s, [&] { return c.json("barra-posicion.json")["chica"] == false; }));
  EXPECT_TRUE(esperarFoco(dialogo, 1s));
  EXPECT_GT(x.altura(w), x.altura(dialogo));

  // The rows by their title for tildo-ax, in Spanish, then in English once the settings say so.
  EXPECT_EQ(ax({"ax-click", "--app", "tildo-ui", "Voz"}).json()["ok"], true);
  EXPECT_TRUE(hasta(2s, [&] { return c.json("ajustes.json")["voz"] == true; }));
  Json ajustes = c.json("ajustes.json");
  ajustes["idioma"] = "en";
  escribirEnSitio(c / "ajustes.json", ajustes.dump());
  EXPECT_TRUE(hasta(3s, [&] { return elemento("Voice") != nullptr; }));
  EXPECT_EQ(ax({"ax-click", "--app", "tildo-ui", "Voice"}).json()["ok"], true);
  EXPECT_TRUE(hasta(2s, [&] { return c.json("ajustes.json")["voz"] == false; }));
  // A plain click on a row.
  ASSERT_TRUE(clicEn("Zoom"));
  EXPECT_TRUE(hasta(2s, [&] { return c.json("ajustes.json")["zoom"] == false; }));
  EXPECT_EQ(c.json("ajustes.json")["cursor"], true);
  capturar("escritorio-barra-completa");

  // Typing still reaches the entry.
  EXPECT_TRUE(esperarFoco(dialogo, 1s));
  EXPECT_EQ(ax({"type", "hola barra"}).json()["ok"], true);
  EXPECT_EQ(ax({"key", "return"}).json()["ok"], true);
  EXPECT_EQ(entrada.app().esperarFin(), 0);
  EXPECT_EQ(entrada.app().salida(), "hola barra\n");

  // Dragged by its background (beside the hand) to the upper half, it follows the pointer from
  // the press on, every step of the drag; the file follows.
  const Json antes = c.json("barra-posicion.json");
  const int ax0 = x.origen(w).first, ay0 = x.origen(w).second;
  EXPECT_EQ(antes["x"], ax0);
  EXPECT_EQ(antes["y"], ay0);
  const int64_t x0 = antes["x"].get<int64_t>() + 70, y0 = antes["abajo"].get<int64_t>() - 22;
  EXPECT_EQ(ax({"drag", std::to_string(x0), std::to_string(y0), std::to_string(x0 + 300),
                std::to_string(y0 - 480)})
                .json()["ok"],
            true);
  EXPECT_TRUE(hasta(3s, [&] {
    const Json p = c.json("barra-posicion.json");
    return p["x"] == ax0 + 300 && p["y"] == ay0 - 480;
  })) << c.json("barra-posicion.json");
  EXPECT_EQ(x.origen(w), std::make_pair(ax0 + 300, ay0 - 480));
  // Then 500 down, by the margin beside the rows, whichever way it grows by then.
  const int64_t xm = ax0 + 300 + 3, ym = ay0 - 480 + 126;
  EXPECT_EQ(ax({"drag", std::to_string(xm), std::to_string(ym), std::to_string(xm),
                std::to_string(ym + 500)})
                .json()["ok"],
            true);
  EXPECT_TRUE(hasta(3s, [&] {
    const Json p = c.json("barra-posicion.json");
    return p["x"] == ax0 + 300 && p["y"] == ay0 + 20;
  })) << c.json("barra-posicion.json");
  capturar("escritorio-barra-arrastrada");

  // The hide marker unmaps the window, and its removal maps it again.
  escribirAtomico(c / "barra-ocultar", "1");
  EXPECT_TRUE(hasta(1400ms, [&] { return !x.mapeada(w); }));
  std::filesystem::remove(c / "barra-ocultar");
  EXPECT_TRUE(hasta(1400ms, [&] { return x.mapeada(w); }));

  // "✕" hides it for the session: the closed marker, and exit status 0.
  const auto ahora =
      std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count();
  ASSERT_TRUE(
      clicEn("Ocultar la barra (pídele a Tildo «muestra la barra de Tildo» para verla otra vez)"));
  EXPECT_EQ(barra.esperarFin(), 0);
  EXPECT_NE(barra.errores().find("[tildo-ui] cerrar() pedido: me oculto solo en esta sesión\n"),
            std::string::npos);
  const double cerrada = std::stod(leerArchivo(c / "barra-cerrada").value_or("0"));
  EXPECT_NEAR(cerrada, ahora, 10);

  // Started again: full, where it was left; "barra" turned false ends it.
  const Json dejada = c.json("barra-posicion.json");
  Aplicacion otra(c.barra());
  EXPECT_EQ(primeraLinea(otra)["compacta"], false);
  EXPECT_EQ(c.json("barra-posicion.json"), dejada);
  ajustes = c.json("ajustes.json");
  ajustes["barra"] = false;
  escribirEnSitio(c / "ajustes.json", ajustes.dump());
  EXPECT_EQ(otra.esperarFin(3s), 0);
  EXPECT_NE(otra.errores().find("[tildo-ui] salgo: el ajuste barra quedó en falso\n"),
            std::string::npos);
}

TEST(Barra, DeDiezBarrasQuedaUnaQueSeVaSinTildo) {
  Carpeta c;
  auto tildo = std::make_unique<Aplicacion>(agente("mcp.mjs"));
  // Half of them find the others with pgrep, half in /proc: they must agree.
  std::vector<std::unique_ptr<Aplicacion>> barras;
  for (int i = 0; i < 10; ++i) barras.push_back(std::make_unique<Aplicacion>(c.barra(i % 2 == 1)));
  auto vivas = [&] {
    std::vector<Aplicacion*> v;
    for (auto& b : barras)
      if (kill(b->pid(), 0) == 0 && !b->esperarFin(0ms)) v.push_back(b.get());
    return v;
  };
  EXPECT_TRUE(hasta(4s, [&] { return vivas().size() == 1; }));
  std::this_thread::sleep_for(1500ms);
  const auto quedan = vivas();
  ASSERT_EQ(quedan.size(), 1u);
  Aplicacion& superviviente = *quedan.front();
  for (auto& b : barras)
    if (b.get() != &superviviente) {
      EXPECT_EQ(b->esperarFin(0ms), 0);
    }
  EXPECT_EQ(leerArchivo(c / "barra.lock"), std::to_string(superviviente.pid()));
  EXPECT_TRUE(hasta(3s, [&] {
    return leerArchivo(c / "barras-vivas.txt") ==
           "una sola barra (" + std::to_string(superviviente.pid()) + ")";
  }));

  // The agent gone: the bar leaves on the first beat more than 15 s later.
  tildo.reset();
  const auto sinTildo = std::chrono::steady_clock::now();
  const auto fin = superviviente.esperarFin(20s);
  const auto tardo = std::chrono::steady_clock::now() - sinTildo;
  EXPECT_EQ(fin, 0);
  EXPECT_GT(tardo, 15s);
  EXPECT_LT(tardo, 18s);
  EXPECT_NE(superviviente.errores().find("[tildo-ui] ya no hay Tildo corriendo: me retiro\n"),
            std::string::npos);
}

// The bar's window killed (its Qt connection to the X display gone): the bar leaves as the bar
// does, traced and with status 0, having printed nothing more.
TEST(Barra, SinPantallaSeVaComoLaBarra) {
  Aplicacion tildo(agente());
  Carpeta c;
  Aplicacion barra(c.barra());
  ASSERT_EQ(primeraLinea(barra)["listo"], true) << barra.salida() << barra.errores();
  const Window w = esperarVentana(TITULO);
  ASSERT_NE(w, 0u);
  X x;
  XKillClient(x.d(), w);
  XSync(x.d(), False);
  EXPECT_EQ(barra.esperarFin(5s), 0) << barra.errores();
  EXPECT_EQ(lineasJson(barra.salida()).size(), 1u) << barra.salida();
  EXPECT_TRUE(
      barra.errores().ends_with("[tildo-ui] se perdió la conexión con la pantalla X: me retiro\n"))
      << barra.errores();
}

TEST(Barra, LaBusquedaEnProcContestaComoPgrep) {
  std::vector<std::unique_ptr<Aplicacion>> procesos;
  for (const char* nombre : {"tildo.mjs", "mcp.mjs", "xmcp.mjsx", "tildoXmjs", "tildo-ui barra",
                             "/opt/bin/tildo-ui barra --x", "tildo-ui  barra", "Tildo-ui barra"})
    procesos.push_back(std::make_unique<Aplicacion>(agente(std::string("'") + nombre + "'")));
  // A zombie has no command line: both name it "[sleep] <defunct>".
  procesos.push_back(std::make_unique<Aplicacion>(
      std::vector<std::string>{"bash", "-c", "sleep 0 & exec sleep 600"}));
  // Command lines longer than pgrep reads (131 071 bytes): the name ending on the last byte
  // read, and one past it. Each argument counts its NUL, a space once joined.
  const std::string guion = "trap 'kill $!' TERM; sleep 600 & wait";
  const size_t antes = 5 + 3 + guion.size() + 1 + 70001;
  for (size_t fin : {131071, 131072})
    procesos.push_back(std::make_unique<Aplicacion>(
        std::vector<std::string>{"bash", "-c", guion, std::string(70000, 'x'),
                                 std::string(fin - antes - 10, 'y'), "tildo.mjs"}));
  std::this_thread::sleep_for(300ms);
  for (const char* patron :
       {ui::PATRON_BARRA, ui::PATRON_TILDO, "^\\[sleep\\] <defunct>$", "600$"}) {
    const auto propios = ui::buscarEnProc(patron);
    ASSERT_TRUE(propios) << patron;
    Aplicacion pgrep({"/usr/bin/pgrep", "-f", patron});
    pgrep.esperarFin();
    EXPECT_EQ(*propios, ui::pidsDeSalida(pgrep.salida())) << patron << "\n" << pgrep.salida();
  }
  EXPECT_EQ(ui::buscarEnProc(ui::PATRON_BARRA)->size(), 2u);
  EXPECT_EQ(ui::buscarEnProc(ui::PATRON_TILDO)->size(), 4u);
}

}  // namespace
}  // namespace tildo::prueba
