// Window commands against X clients and a window manager that break the rules: titles of a
// megabyte or not UTF-8, client lists naming windows that are gone, work areas of the wrong
// type or size, windows that vanish while they are read. Every command answers with one valid
// reply, in bounded time; each run's time and peak memory are printed.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <thread>

#include "common/texto.h"
#include "escritorio_real.h"
#include "pantalla_x.h"

// After gtest: Xlib's None macro would clash with gtest's own None.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

namespace tildo::prueba {
namespace {

// Each command ends within this, whatever it meets (place's own pauses included).
constexpr double LIMITE_SEGUNDOS = 3;

// tildo-ax with the checks every hostile run shares: exit code 0 or 1, nothing on standard
// error, one JSON object with `ok`, an `error` text when it failed.
Json sensata(const std::vector<std::string>& args) {
  const Salida s = ax(args);
  std::cout << "[tildo-ax " << args.front() << "] " << int(s.segundos * 1000) << " ms, "
            << s.memoriaMaximaKb << " KB de memoria residente como máximo\n";
  EXPECT_LT(s.segundos, LIMITE_SEGUNDOS) << args.front();
  EXPECT_TRUE(s.codigo == 0 || s.codigo == 1) << args.front() << ": " << s.codigo;
  EXPECT_EQ(s.stderr_, "") << args.front();
  const Json r = s.json();
  EXPECT_TRUE(r.is_object() && r.contains("ok") && r["ok"].is_boolean())
      << args.front() << ": " << s.stdout_.substr(0, 300);
  if (!r.is_object()) return Json::object();
  if (r.value("ok", false) == false && s.codigo == 1) {
    EXPECT_FALSE(r.value("error", "").empty()) << s.stdout_.substr(0, 300);
  }
  return r;
}

class X : public PantallaX {
 public:
  void poner(const char* nombre, Atom tipo, int formato, const void* datos, int n) {
    XChangeProperty(d(), raiz(), XInternAtom(d(), nombre, False), tipo, formato, PropModeReplace,
                    static_cast<const unsigned char*>(datos), n);
    XSync(d(), False);
  }
  void cardinales(const char* nombre, Atom tipo, std::vector<long> v) {
    poner(nombre, tipo, 32, v.data(), static_cast<int>(v.size()));
  }
};

Json entradaDe(const Json& respuesta, unsigned long id) {
  for (const auto& v : respuesta.value("ventanas", Json::array()))
    if (v["id"] == id) return v;
  return nullptr;
}

// Until the manager has mapped and listed all of them.
bool listadas(const std::vector<unsigned long>& ids) {
  for (int i = 0; i < 100; ++i) {
    const Json r = ax({"windows"}).json();
    bool todas = true;
    for (auto id : ids) todas = todas && !entradaDe(r, id).is_null();
    if (todas) return true;
    std::this_thread::sleep_for(50ms);
  }
  return false;
}

// The client's three windows ("ventana ID" lines before "listo"), once the manager lists them.
std::vector<unsigned long> ventanasListadas(const Aplicacion& cliente) {
  std::vector<unsigned long> ids;
  for (const auto& l : lineasHastaListo(cliente))
    if (l.starts_with("ventana ")) ids.push_back(std::stoul(l.substr(8)));
  return listadas(ids) ? ids : std::vector<unsigned long>{};
}

TEST(VentanasHostiles, TitulosDeUnMegaOQueNoSonUtf8) {
  Aplicacion cliente({CLIENTE_HOSTIL, "titulos"});
  const auto ids = ventanasListadas(cliente);
  ASSERT_EQ(ids.size(), 3u);

  const Json lista = sensata({"windows"});
  const std::string enorme = entradaDe(lista, ids[0])["titulo"];
  EXPECT_EQ(enorme.rfind("Enorme €€€", 0), 0u);
  EXPECT_LE(enorme.size(), 64u * 1024);
  EXPECT_TRUE(utf8Valido(enorme));
  EXPECT_EQ(entradaDe(lista, ids[1])["titulo"],
            "Mal \ufffd\ufffd t\ufffdtulo \ufffd\ufffd\ufffd fin\ufffd");
  const std::string viejo = entradaDe(lista, ids[2])["titulo"];
  EXPECT_EQ(viejo.rfind("Viejo ééé", 0), 0u);
  EXPECT_LE(viejo.size(), 128u * 1024);
  for (auto id : ids) EXPECT_EQ(entradaDe(lista, id)["pid"], cliente.pid());
  // Frame extents of the wrong type are no extents: both windows are as wide.
  EXPECT_EQ(entradaDe(lista, ids[1])["marco"]["ancho"], entradaDe(lista, ids[0])["marco"]["ancho"]);

  const std::string pid = std::to_string(cliente.pid());
  EXPECT_TRUE(sensata({"focus", "--pid", pid, "--titulo", "enorme"})["ok"]);
  const Json info = sensata({"info"});
  EXPECT_TRUE(utf8Valido(info.value("titulo_ventana", "")));
  sensata({"frontmost"});
  const Json colocada = sensata({"place", "--pid", pid, "--titulo", "mal", "--x", "20", "--y", "30",
                                 "--ancho", "350", "--alto", "250"});
  EXPECT_EQ(colocada["titulo"], entradaDe(lista, ids[1])["titulo"]);
  // The manager, busy measuring megabyte titles, may move it after the reply; it gets there.
  const Json pedido = {{"x", 20}, {"y", 30}, {"ancho", 350}, {"alto", 250}};
  bool colocadaAlFin = colocada["real"] == pedido;
  for (int i = 0; i < 60 && !colocadaAlFin; ++i) {
    std::this_thread::sleep_for(50ms);
    colocadaAlFin = entradaDe(ax({"windows"}).json(), ids[1])["marco"] == pedido;
  }
  EXPECT_TRUE(colocadaAlFin);
  EXPECT_TRUE(sensata({"minimize", "--pid", pid, "--indice", "2"})["ok"]);
  sensata({"work-area"});
}

TEST(VentanasHostiles, UnGestorQueNombraVentanasQueYaNoEstan) {
  Aplicacion cliente({CLIENTE_HOSTIL, "titulos"});
  const auto ids = ventanasListadas(cliente);
  ASSERT_EQ(ids.size(), 3u);
  const unsigned long real = ids[0];
  X x;
  const Window ida = XCreateSimpleWindow(x.d(), x.raiz(), 0, 0, 10, 10, 0, 0, 0);
  XDestroyWindow(x.d(), ida);
  // The stacking list, bottom to top: gone windows, nothing, the real one twice.
  const std::vector<long> apiladas{long(ida), 0, 0x1fffffff, long(real), long(real), long(ida) + 1};
  // The real manager, still focusing the client's new windows, writes its own lists over these
  // when it gets round to it: a reply counts when they held from before the command to after it.
  const auto conListasFalsas = [&](const std::vector<std::string>& args) {
    Json r;
    const auto valida = [&] {
      x.cardinales("_NET_CLIENT_LIST_STACKING", XA_WINDOW, apiladas);
      x.cardinales("_NET_ACTIVE_WINDOW", XA_WINDOW, {long(ida)});
      r = sensata(args);
      return x.propiedad(x.raiz(), "_NET_CLIENT_LIST_STACKING", XA_WINDOW) ==
                 std::vector<unsigned long>(apiladas.begin(), apiladas.end()) &&
             x.propiedad(x.raiz(), "_NET_ACTIVE_WINDOW", XA_WINDOW) ==
                 std::vector<unsigned long>{ida};
    };
    if (hasta(10s, valida, 100ms)) return r;
    ADD_FAILURE() << "el gestor de ventanas no deja de escribir sus listas";
    return Json::object();
  };

  const Json lista = conListasFalsas({"windows"});
  ASSERT_EQ(lista["ventanas"].size(), 1u) << lista.dump();
  EXPECT_EQ(lista["ventanas"][0]["id"], real);
  // The window in front is gone: no application is in front.
  const Json info = conListasFalsas({"info"});
  EXPECT_FALSE(info.contains("pid_en_primer_plano"));
  EXPECT_EQ(info["app_en_primer_plano"], "?");
  EXPECT_EQ(conListasFalsas({"frontmost"})["error"], "no pude leer la app en primer plano");
  const std::string pid = std::to_string(cliente.pid());
  EXPECT_TRUE(sensata(
      {"place", "--pid", pid, "--x", "10", "--y", "10", "--ancho", "200", "--alto", "100"})["ok"]);

  // A stacking list of the wrong type is as good as none: the manager's plain list stands in.
  x.poner("_NET_CLIENT_LIST_STACKING", XA_CARDINAL, 16, "\1\0\2\0", 2);
  EXPECT_EQ(sensata({"windows"})["ventanas"].size(), 3u);
}

TEST(VentanasHostiles, AreasDeTrabajoDeTipoOLargoEquivocado) {
  X x;
  const std::string pantalla = "{\"alto\":800,\"ancho\":1280,\"ok\":true,\"x\":0,\"y\":0}\n";
  const auto area = [&] {
    const Salida s = ax({"work-area"});
    EXPECT_EQ(s.stderr_, "");
    EXPECT_LT(s.segundos, LIMITE_SEGUNDOS);
    return s.stdout_;
  };
  x.poner("_NET_WORKAREA", XA_STRING, 8, "0 30 1280 770 ab", 16);
  EXPECT_EQ(area(), pantalla);
  x.poner("_NET_WORKAREA", XA_CARDINAL, 16, "\0\0\36\0\0\5\2\3", 4);
  EXPECT_EQ(area(), pantalla);
  x.cardinales("_NET_WORKAREA", XA_CARDINAL, {0, 30, 1280});
  EXPECT_EQ(area(), pantalla);
  // Nothing of the screen left, or less than nothing.
  x.cardinales("_NET_WORKAREA", XA_CARDINAL, {0, 0, 0, 0});
  EXPECT_EQ(area(), pantalla);
  x.cardinales("_NET_WORKAREA", XA_CARDINAL, {5000, 5000, 100, 100});
  EXPECT_EQ(area(), pantalla);
  // Coordinates of 2^31 either way are clipped to the screen.
  x.cardinales("_NET_WORKAREA", XA_CARDINAL, {-0x80000000L, 40, 0xffffffffL, 0x7fffffffL});
  EXPECT_EQ(area(), "{\"alto\":760,\"ancho\":1280,\"ok\":true,\"x\":0,\"y\":40}\n");
  // The current desktop beyond the list: the first desktop's area.
  x.cardinales("_NET_WORKAREA", XA_CARDINAL, {0, 20, 1280, 780});
  x.cardinales("_NET_CURRENT_DESKTOP", XA_CARDINAL, {0xffffffffL});
  EXPECT_EQ(area(), "{\"alto\":780,\"ancho\":1280,\"ok\":true,\"x\":0,\"y\":20}\n");
  x.cardinales("_NET_WORKAREA", XA_CARDINAL, {0, 20, 1280, 780, 0, 50, 1280, 750});
  x.cardinales("_NET_CURRENT_DESKTOP", XA_CARDINAL, {1});
  EXPECT_EQ(area(), "{\"alto\":750,\"ancho\":1280,\"ok\":true,\"x\":0,\"y\":50}\n");
  sensata({"info"});
}

TEST(VentanasHostiles, VentanasQueDesaparecenMientrasSeLeen) {
  Aplicacion cliente({CLIENTE_HOSTIL, "efimeras"});
  lineasHastaListo(cliente);
  const std::string pid = std::to_string(cliente.pid());
  for (int i = 0; i < 4; ++i) {
    // The list by value: a loop over a member of the temporary reply would outlive the reply.
    for (const auto& v : sensata({"windows"}).value("ventanas", Json::array()))
      EXPECT_TRUE(utf8Valido(v.value("titulo", ""))) << v.dump();
    sensata({"info"});
    sensata({"frontmost"});
    sensata({"focus", "--pid", pid});
    sensata({"minimize", "--pid", pid});
    sensata({"place", "--pid", pid, "--x", "10", "--y", "10", "--ancho", "200", "--alto", "100"});
  }
  sensata({"work-area"});
}

}  // namespace
}  // namespace tildo::prueba
