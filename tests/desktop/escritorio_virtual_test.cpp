// The private virtual desktop every desktop test runs on: a display with a window manager and
// the buses, applications that come up focused, and a clean teardown with the command's status.
#include <gtest/gtest.h>
#include <signal.h>

#include <thread>

#include "escritorio_real.h"

namespace tildo::prueba {
namespace {

const std::string ARNES = ESCRITORIO_VIRTUAL;

TEST(EscritorioVirtual, DaPantallaGestorYBuses) {
  ASSERT_NE(std::getenv("DISPLAY"), nullptr);
  ASSERT_NE(std::getenv("DBUS_SESSION_BUS_ADDRESS"), nullptr);
  EXPECT_EQ(sistema({"dbus-send", "--session", "--print-reply", "--dest=org.a11y.Bus",
                     "/org/a11y/bus", "org.a11y.Bus.GetAddress"}),
            0);
  DialogoEntrada dialogo("Arnés");
  EXPECT_TRUE(dialogo.listo()) << dialogo.app().errores();
}

TEST(EscritorioVirtual, DevuelveElEstadoDeLaOrden) {
  Aplicacion anidado({ARNES, "--", "sh", "-c", "test -n \"$DISPLAY\" && exit 7"});
  EXPECT_EQ(anidado.esperarFin(30s), 7) << anidado.errores();
  EXPECT_EQ(anidado.errores(), "");

  Aplicacion sinOrden({ARNES});
  EXPECT_EQ(sinOrden.esperarFin(5s), 2);
}

TEST(EscritorioVirtual, DesmontaTodoAlRecibirUnaSenal) {
  // The nested desktop writes its display number, then waits to be stopped.
  Aplicacion anidado({ARNES, "sh", "-c", "echo $DISPLAY; exec sleep 60"});
  std::string pantalla;
  ASSERT_TRUE(hasta(
      30s, [&] { return (pantalla = anidado.salida()).find('\n') != std::string::npos; }, 50ms));
  pantalla.resize(pantalla.find('\n'));
  ASSERT_NE(pantalla, std::getenv("DISPLAY"));
  // Its daemons (the X server, the window manager, the buses) go with it. The display number
  // itself proves nothing: another desktop may take it at once.
  const auto daemonios = hijos(anidado.pid());
  ASSERT_GE(daemonios.size(), 3u);
  kill(anidado.pid(), SIGTERM);
  EXPECT_EQ(anidado.esperarFin(15s), 143);
  for (pid_t p : daemonios) EXPECT_FALSE(vivo(p)) << p;
}

}  // namespace
}  // namespace tildo::prueba
