// tildo-ax on the accessibility bus as the user's applications feel it: many runs leave nothing
// behind in them, a frozen one holds up only what needs it, and a session whose accessibility
// is off, or missing, is handled as a screen reader would.
#include <dbus/dbus.h>
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <thread>

#include "escritorio_real.h"

namespace tildo::prueba {
namespace {

using Reloj = std::chrono::steady_clock;

int64_t ms(Reloj::duration d) {
  return std::chrono::duration_cast<std::chrono::milliseconds>(d).count();
}

// The outline of an application once it has come up with more than `minimo` elements.
Json arbolCompleto(const std::string& app, int minimo) {
  return axHasta(
      {"ax-tree", "--app", app, "--depth", "40", "--max", "5000"},
      [&](const Json& r) { return r.value("total", 0) > minimo; }, 20s, 200ms);
}

// An application's cost per accessibility call, as a client of the bus sees it: the best of a
// few floods of questions to its root, in microseconds.
class Sonda {
 public:
  explicit Sonda(int32_t pid) {
    const char* direccion = std::getenv("AT_SPI_BUS_ADDRESS");
    DBusError e;
    dbus_error_init(&e);
    c_ = direccion ? dbus_connection_open_private(direccion, &e) : nullptr;
    if (c_ && !dbus_bus_register(c_, &e)) {
      dbus_connection_close(c_);
      dbus_connection_unref(c_);
      c_ = nullptr;
    }
    dbus_error_free(&e);
    if (!c_) return;
    // The application's bus name: the registry's child owned by the process.
    DBusMessage* m =
        dbus_message_new_method_call("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root",
                                     "org.a11y.atspi.Accessible", "GetChildren");
    DBusMessage* r = dbus_connection_send_with_reply_and_block(c_, m, 5000, nullptr);
    dbus_message_unref(m);
    if (!r) return;
    DBusMessageIter it, lista, par;
    dbus_message_iter_init(r, &it);
    dbus_message_iter_recurse(&it, &lista);
    while (dbus_message_iter_get_arg_type(&lista) == DBUS_TYPE_STRUCT) {
      dbus_message_iter_recurse(&lista, &par);
      const char* nombre = nullptr;
      dbus_message_iter_get_basic(&par, &nombre);
      if (pidDe(nombre) == pid) app_ = nombre;
      dbus_message_iter_next(&lista);
    }
    dbus_message_unref(r);
  }
  ~Sonda() {
    if (c_) {
      dbus_connection_close(c_);
      dbus_connection_unref(c_);
    }
  }
  bool lista() const { return !app_.empty(); }

  double microsegundosPorLlamada() {
    double mejor = 1e9;
    for (int vuelta = 0; vuelta < 5; ++vuelta) {
      constexpr int N = 2000;
      std::vector<DBusPendingCall*> pendientes;
      const auto inicio = Reloj::now();
      for (int i = 0; i < N; ++i) {
        DBusMessage* m =
            dbus_message_new_method_call(app_.c_str(), "/org/a11y/atspi/accessible/root",
                                         "org.a11y.atspi.Accessible", "GetRole");
        DBusPendingCall* p = nullptr;
        dbus_connection_send_with_reply(c_, m, &p, 10000);
        dbus_message_unref(m);
        pendientes.push_back(p);
      }
      for (auto* p : pendientes) {
        dbus_pending_call_block(p);
        dbus_pending_call_unref(p);
      }
      mejor = std::min(
          mejor, std::chrono::duration<double, std::micro>(Reloj::now() - inicio).count() / N);
    }
    return mejor;
  }

 private:
  int64_t pidDe(const char* nombre) {
    DBusMessage* m =
        dbus_message_new_method_call("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                     "org.freedesktop.DBus", "GetConnectionUnixProcessID");
    dbus_message_append_args(m, DBUS_TYPE_STRING, &nombre, DBUS_TYPE_INVALID);
    DBusMessage* r = dbus_connection_send_with_reply_and_block(c_, m, 5000, nullptr);
    dbus_message_unref(m);
    if (!r) return -1;
    uint32_t pid = 0;
    dbus_message_get_args(r, nullptr, DBUS_TYPE_UINT32, &pid, DBUS_TYPE_INVALID);
    dbus_message_unref(r);
    return pid;
  }

  DBusConnection* c_ = nullptr;
  std::string app_;
};

// One start of the widget factory for both: the runs that leave nothing behind in it, then the
// runs that meet it frozen.
TEST(BusDeAccesibilidad, DoscientasVecesSinResentirseYCongeladaSoloDetieneLoQueLaNecesita) {
  Aplicacion fabrica({"gtk3-widget-factory"});
  const int total = arbolCompleto("widget", 100).value("total", 0);
  ASSERT_GT(total, 100);
  Sonda sonda(fabrica.pid());
  ASSERT_TRUE(sonda.lista());
  const double antes = sonda.microsegundosPorLlamada();
  for (int i = 0; i < 200; ++i) {
    auto s = ax({"ax-tree", "--app", "widget", "--depth", "2", "--max", "20"});
    ASSERT_EQ(s.codigo, 0) << s.stdout_;
  }
  // Every connection left behind would make each later call dearer for good (200 of them more
  // than double it), while a busy machine only makes a measurement dearer for a while.
  double despues = sonda.microsegundosPorLlamada();
  for (int vez = 0; vez < 2 && despues >= antes * 1.6 + 5; ++vez)
    despues = std::min(despues, sonda.microsegundosPorLlamada());
  EXPECT_LT(despues, antes * 1.6 + 5) << "antes " << antes << " µs, después " << despues << " µs";

  DialogoEntrada dialogo("Sigue viva");
  ASSERT_TRUE(dialogo.listo());
  ASSERT_GT(arbolCompleto("zenity", 1).value("total", 0), 1);

  // An application that stops answering halfway through a walk fails the walk: the outline is
  // whole or there is none.
  for (auto espera : {5ms, 30ms, 80ms}) {
    Aplicacion arbol({"env", "TILDO_ESCRITORIO=", carpetaDeProgramas() + "/tildo-ax", "ax-tree",
                      "--app", "widget", "--depth", "40", "--max", "5000"});
    std::this_thread::sleep_for(espera);
    kill(fabrica.pid(), SIGSTOP);
    ASSERT_TRUE(arbol.esperarFin(5s));
    kill(fabrica.pid(), SIGCONT);
    const Json r = Json::parse(arbol.salida());
    if (r["ok"] == true)
      EXPECT_EQ(r["total"], total) << "tras " << espera.count() << " ms";
    else
      EXPECT_EQ(r["error"], "la app «gtk3-widget-factory» no responde");
  }

  kill(fabrica.pid(), SIGSTOP);
  // What does not need the frozen application waits for it a quarter of a second at most.
  auto inicio = Reloj::now();
  auto s = ax({"ax-tree", "--app", "zenity"});
  EXPECT_EQ(s.codigo, 0) << s.stdout_;
  EXPECT_EQ(s.json()["app"], "zenity");
  EXPECT_LT(ms(Reloj::now() - inicio), 1000);
  const Json ventana = s.json()["elementos"][1];
  inicio = Reloj::now();
  s = ax({"frontmost"});
  EXPECT_EQ(s.json()["app"], "zenity") << s.stdout_;
  EXPECT_LT(ms(Reloj::now() - inicio), 1000);
  inicio = Reloj::now();
  s = ax({"ax-at", ventana["cx"].dump(), ventana["cy"].dump()});
  EXPECT_EQ(s.json()["encontrado"], true) << s.stdout_;
  EXPECT_LT(ms(Reloj::now() - inicio), 1000);

  // Aimed at it, by name or by pid, a command fails naming it within about two seconds.
  for (const std::string& app : {std::string("widget"), std::to_string(fabrica.pid())}) {
    inicio = Reloj::now();
    s = ax({"ax-tree", "--app", app});
    EXPECT_EQ(s.codigo, 1);
    EXPECT_EQ(s.json()["error"], "la app «gtk3-widget-factory» no responde");
    EXPECT_LT(ms(Reloj::now() - inicio), 2500) << app;
  }
  // A name nobody answering has waits for it as long, then says it could not ask it.
  s = ax({"ax-find", "--app", "nadie", "--name", "x"});
  EXPECT_EQ(s.codigo, 1);
  EXPECT_EQ(s.json()["error"],
            "no encontré ninguna app que coincida con «nadie»; no responde: «gtk3-widget-factory»");
  EXPECT_EQ(s.stderr_, "");
  kill(fabrica.pid(), SIGCONT);
  EXPECT_EQ(arbolCompleto("widget", 100).value("total", 0), total);
}

// The session's accessibility as the user left it: off, then missing altogether. Only the
// toolkits' switch is turned on: the screen reader's starts the desktop's screen reader.
TEST(BusDeAccesibilidad, ApagadaLaEnciendeYSinBusLoDice) {
  auto estado = [](const char* propiedad, const char* valor) {
    return sistema({"dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                    "/org/a11y/bus", "org.freedesktop.DBus.Properties.Set",
                    "string:org.a11y.Status", std::string("string:") + propiedad,
                    std::string("variant:boolean:") + valor});
  };
  ASSERT_EQ(estado("IsEnabled", "false"), 0);
  ASSERT_EQ(estado("ScreenReaderEnabled", "false"), 0);
  ASSERT_EQ(interruptorDeAccesibilidad("IsEnabled"), false);
  // tildo-ax switches the toolkits' accessibility on, and then has it; the screen reader's
  // switch is the user's, and stays off.
  EXPECT_EQ(ax({"info"}).json()["accesibilidad_concedida"], true);
  EXPECT_EQ(interruptorDeAccesibilidad("IsEnabled"), true);
  // Qt looks at the switch when it starts: an application started now, told nothing about
  // accessibility and finding the bus as in a user's session, exposes its tree.
  Aplicacion qt({"env", "-u", "QT_ACCESSIBILITY", "-u", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "-u",
                 "AT_SPI_BUS_ADDRESS", VENTANA_QT, "100"});
  ASSERT_NE(esperarVentana("Ventana Qt de prueba"), 0u);
  const Json r = arbolCompleto("ventana_qt", 300);
  EXPECT_GT(r.value("total", 0), 300) << r.dump().substr(0, 300);
  EXPECT_EQ(ax({"ax-find", "--app", "ventana_qt", "--name", "Botón 77"}).json()["total"], 1);
  EXPECT_EQ(interruptorDeAccesibilidad("ScreenReaderEnabled"), false);

  // Without a bus the commands that need it say so; the others go on.
  ASSERT_EQ(sistema({"xprop", "-root", "-remove", "AT_SPI_BUS"}), 0);
  const std::map<std::string, std::string> sinBus{
      {"TILDO_ESCRITORIO", ""}, {"AT_SPI_BUS_ADDRESS", ""}, {"DBUS_SESSION_BUS_ADDRESS", ""}};
  EXPECT_EQ(correr("tildo-ax", {"info"}, sinBus).json()["accesibilidad_concedida"], false);
  for (const std::vector<std::string>& orden : {std::vector<std::string>{"ax-tree"},
                                                {"ax-tree", "--app", "ventana"},
                                                {"ax-at", "10", "10"},
                                                {"ax-focus"}}) {
    auto s = correr("tildo-ax", orden, sinBus);
    EXPECT_EQ(s.codigo, 1) << orden[0];
    EXPECT_EQ(s.json()["error"], "no hay bus de accesibilidad (AT-SPI) en esta sesión") << orden[0];
  }
  EXPECT_EQ(correr("tildo-ax", {"windows"}, sinBus).json()["ok"], true);
}

}  // namespace
}  // namespace tildo::prueba
