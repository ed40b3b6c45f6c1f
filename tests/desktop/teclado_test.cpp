// Keyboard commands on the real desktop: text typed into a zenity entry comes back exactly,
// whatever keyboard layout is set, key combos do what they say, and the keyboard mapping is
// left as it was found, also when a run is stopped or killed mid-text or two runs type at once.
#include <gtest/gtest.h>
#include <signal.h>

#include <algorithm>
#include <thread>

#include "../cli/en_marcha.h"
#include "escritorio_real.h"
#include "pantalla_x.h"

// Xlib last: its macros (None, Bool) clash with gtest.
#include <X11/XKBlib.h>

namespace tildo::prueba {
namespace {

// More distinct characters than there are spare keycodes, so the bindings change in batches on
// the way.
const std::string& TEXTO = TEXTO_DIFICIL;

void fijarDistribucion(const std::string& distribucion, int grupo = 0) {
  ASSERT_EQ(sistema({"setxkbmap", "-layout", distribucion}), 0);
  const PantallaX x;
  XkbLockGroup(x.d(), XkbUseCoreKbd, grupo);
  XSync(x.d(), False);
}

// Caps Lock locked, as a user leaves it; whether it still is.
void fijarBloqMayus(const PantallaX& x) {
  XkbLockModifiers(x.d(), XkbUseCoreKbd, LockMask, LockMask);
  XSync(x.d(), False);
}
bool bloqMayus(const PantallaX& x) {
  XkbStateRec estado;
  XkbGetState(x.d(), XkbUseCoreKbd, &estado);
  return estado.locked_mods & LockMask;
}

// The whole keyboard description as the server gives it.
std::string mapaDelTeclado() {
  Aplicacion xkbcomp({"xkbcomp", "-xkb", std::getenv("DISPLAY"), "-"});
  xkbcomp.esperarFin();
  return xkbcomp.salida();
}

// Types the text into a fresh entry dialog, presses Return and gives what zenity printed.
std::string escribirEnDialogo(const std::string& texto) {
  DialogoEntrada dialogo;
  if (!dialogo.listo()) return "(el diálogo no apareció)";
  sinErrores(ax({"type", "--stdin"}, texto));
  sinErrores(ax({"key", "return"}));
  EXPECT_EQ(dialogo.app().esperarFin(), 0);
  return dialogo.app().salida();
}

class TextoConDistribucion : public testing::TestWithParam<std::pair<const char*, int>> {};

TEST_P(TextoConDistribucion, LlegaExactoYElTecladoQuedaComoEstaba) {
  fijarDistribucion(GetParam().first, GetParam().second);
  const std::string antes = mapaDelTeclado();
  EXPECT_EQ(escribirEnDialogo(TEXTO), TEXTO + "\n");
  EXPECT_EQ(mapaDelTeclado(), antes);
}

INSTANTIATE_TEST_SUITE_P(Distribuciones, TextoConDistribucion,
                         testing::Values(std::pair{"us", 0}, std::pair{"de", 0},
                                         std::pair{"ru,us", 0}, std::pair{"ru,us", 1}),
                         [](const auto& info) {
                           std::string nombre = info.param.first;
                           std::replace(nombre.begin(), nombre.end(), ',', '_');
                           return nombre + "_grupo" + std::to_string(info.param.second + 1);
                         });

TEST(TecladoReal, TextoCortoSaltosDeLineaYBloqMayus) {
  // A short text lives shorter than a binding must; a carriage return types as Return, which
  // accepts the dialog there and then.
  EXPECT_EQ(escribirEnDialogo("x"), "x\n");
  {
    DialogoEntrada dialogo;
    ASSERT_TRUE(dialogo.listo());
    sinErrores(ax({"type", "--stdin"}, "ab\r\n"));
    EXPECT_EQ(dialogo.app().esperarFin(), 0);
    EXPECT_EQ(dialogo.app().salida(), "ab\n");
  }
  // Caps Lock changes no letter typed, and stays locked.
  const PantallaX x;
  fijarBloqMayus(x);
  EXPECT_EQ(escribirEnDialogo("abc Déf"), "abc Déf\n");
  EXPECT_TRUE(bloqMayus(x));
}

TEST(TecladoReal, ComboSeleccionaYBorra) {
  for (auto [distribucion, grupo] : {std::pair{"us", 0}, std::pair{"ru,us", 0}}) {
    fijarDistribucion(distribucion, grupo);
    // Under ru the Latin a is in no key at level 1: ctrl+a binds it for the press.
    const std::string antes = mapaDelTeclado();
    DialogoEntrada dialogo;
    ASSERT_TRUE(dialogo.listo());
    sinErrores(ax({"type", "texto viejo"}));
    sinErrores(ax({"key", "ctrl+a"}));
    sinErrores(ax({"key", "delete"}));
    sinErrores(ax({"type", "nuevo"}));
    sinErrores(ax({"key", "Return"}));
    EXPECT_EQ(dialogo.app().esperarFin(), 0);
    EXPECT_EQ(dialogo.app().salida(), "nuevo\n") << distribucion;
    EXPECT_EQ(mapaDelTeclado(), antes) << distribucion;
  }
}

// The mapping lines the client has logged once they stop coming: the server reports a change
// once per keyboard device, one after another, so the first lines may come before the rest.
size_t lineasDeMapaAsentadas(const ClienteRegistro& c, size_t minimo) {
  size_t n = c.lineas("mapa", minimo).size();
  for (int i = 0; i < 30; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const size_t ahora = c.lineas("mapa").size();
    if (ahora == n) break;
    n = ahora;
  }
  return n;
}

TEST(TecladoReal, ElMapaCambiaPorLotesNoPorCaracter) {
  ClienteRegistro c;
  ASSERT_TRUE(c.listo());
  const std::string antes = mapaDelTeclado();
  // One character: one binding and one restore. The server reports each change once per
  // keyboard device, so this measures how many lines one change gives.
  sinErrores(ax({"type", "x"}));
  const size_t porCambio = lineasDeMapaAsentadas(c, 2) / 2;
  ASSERT_GT(porCambio, 0u);
  sinErrores(ax({"type", "--stdin"}, TEXTO));
  // TEXTO has about 90 distinct characters and the keyboard 19 spare keycodes: a handful of
  // batches and the restore, not one change per character.
  const size_t cambios = lineasDeMapaAsentadas(c, 4 * porCambio) / porCambio - 2;
  EXPECT_GE(cambios, 2u);
  EXPECT_LE(cambios, 8u);
  EXPECT_EQ(mapaDelTeclado(), antes);
}

// The note a typing run leaves on the root window while it has keycodes lent; empty when none.
std::string notaDelTeclado() {
  const PantallaX x;
  return x.texto(x.raiz(), "_TILDO_TECLAS_PRESTADAS", AnyPropertyType);
}

// Waits until the run has typed its first batch of characters and bound the second: the note
// changes with every batch.
bool aMitadDeTexto() {
  std::string primera;
  for (int i = 0; i < 500; ++i) {
    const std::string nota = notaDelTeclado();
    if (primera.empty()) primera = nota;
    if (!nota.empty() && nota != primera) return true;
    std::this_thread::sleep_for(10ms);
  }
  return false;
}

TEST(TecladoReal, UnaSenalAMitadDeTextoDevuelveElTeclado) {
  fijarDistribucion("ru,us");
  const std::string antes = mapaDelTeclado();
  for (auto [senal, nombre] : {std::pair{SIGTERM, "SIGTERM"}, std::pair{SIGHUP, "SIGHUP"}}) {
    DialogoEntrada dialogo;
    ASSERT_TRUE(dialogo.listo());
    EnMarcha tipeo = axEnMarcha({"type", TEXTO});
    ASSERT_TRUE(aMitadDeTexto()) << nombre;
    kill(tipeo.pid(), senal);
    EXPECT_EQ(tipeo.linea(),
              "{\"error\":\"interrumpido por la señal " + std::string(nombre) + "\",\"ok\":false}");
    EXPECT_EQ(tipeo.fin(), 1);
    EXPECT_EQ(notaDelTeclado(), "");
    EXPECT_EQ(mapaDelTeclado(), antes) << nombre;
    // What was typed before the signal stays typed, and nothing else is.
    sinErrores(ax({"key", "return"}));
    EXPECT_EQ(dialogo.app().esperarFin(), 0);
    const std::string escrito = dialogo.app().salida();
    ASSERT_FALSE(escrito.empty());
    EXPECT_GT(escrito.size(), 10u);
    EXPECT_EQ(TEXTO.substr(0, escrito.size() - 1) + "\n", escrito) << nombre;
  }
}

// Keys held down on the server, as the core keyboard's state says.
int teclasAbajo(const PantallaX& x) {
  char abajo[32];
  XQueryKeymap(x.d(), abajo);
  return int(std::count_if(std::begin(abajo), std::end(abajo), [](char c) { return c != 0; }));
}

TEST(TecladoReal, UnaEjecucionMatadaNoDejaTeclasPulsadasNiPrestadas) {
  fijarDistribucion("us");
  const PantallaX x;
  fijarBloqMayus(x);
  const std::string antes = mapaDelTeclado();
  auto comoAntes = [&] {
    EXPECT_EQ(notaDelTeclado(), "");
    EXPECT_EQ(teclasAbajo(x), 0);
    EXPECT_EQ(mapaDelTeclado(), antes);
    EXPECT_TRUE(bloqMayus(x));
  };
  // The guardian of a run killed mid-text puts the keyboard back at once, and goes.
  {
    EnMarcha tipeo = axEnMarcha({"type", TEXTO});
    ASSERT_TRUE(aMitadDeTexto());
    const auto guardianes = hijos(tipeo.pid());
    ASSERT_EQ(guardianes.size(), 1u);
    kill(tipeo.pid(), SIGKILL);
    EXPECT_EQ(tipeo.fin(), 128 + SIGKILL);
    EXPECT_TRUE(hasta(2s, [&] { return !vivo(guardianes[0]); }));
  }
  comoAntes();
  // Killed together with its guardian (its process group killed), the run leaves its note, and
  // the next run that takes the keyboard repairs from it before anything else.
  {
    EnMarcha tipeo = axEnMarcha({"type", TEXTO});
    ASSERT_TRUE(aMitadDeTexto());
    for (pid_t guardian : hijos(tipeo.pid())) kill(guardian, SIGKILL);
    kill(tipeo.pid(), SIGKILL);
    EXPECT_EQ(tipeo.fin(), 128 + SIGKILL);
  }
  EXPECT_NE(notaDelTeclado(), "");
  sinErrores(ax({"key", "escape"}));
  comoAntes();
  EXPECT_EQ(escribirEnDialogo("Ñandú"), "Ñandú\n");
}

TEST(TecladoReal, UnaEjecucionDetenidaNoDejaEsperandoALasDemas) {
  fijarDistribucion("us");
  const std::string antes = mapaDelTeclado();
  EnMarcha tipeo = axEnMarcha({"type", TEXTO});
  ASSERT_TRUE(aMitadDeTexto());
  std::this_thread::sleep_for(50ms);
  kill(tipeo.pid(), SIGSTOP);
  // The stopped run keeps the keyboard: the next one waits for it a while, then gives up and
  // says why.
  EnMarcha otra = axEnMarcha({"key", "a"});
  EXPECT_EQ(otra.linea(6s),
            "{\"error\":\"otra ejecución de tildo-ax tiene el teclado desde hace más de 2 s "
            "(¿está detenida?); no pulsé ninguna tecla\",\"ok\":false}");
  EXPECT_EQ(otra.fin(), 1);
  // Continued, it types the rest and gives the keyboard back as it was.
  kill(tipeo.pid(), SIGCONT);
  EXPECT_EQ(tipeo.fin(20s), 0);
  EXPECT_EQ(mapaDelTeclado(), antes);
  EXPECT_EQ(notaDelTeclado(), "");
  EnMarcha despues = axEnMarcha({"key", "a"});
  EXPECT_EQ(despues.fin(), 0);
}

TEST(TecladoReal, UnaDistribucionCargadaMientrasEscribeConservaSusTeclas) {
  fijarDistribucion("de");
  const std::string alemana = mapaDelTeclado();
  fijarDistribucion("us");
  ASSERT_NE(mapaDelTeclado(), alemana);
  EnMarcha tipeo = axEnMarcha({"type", TEXTO});
  ASSERT_TRUE(aMitadDeTexto());
  // Stopped in a pause between keys, so that the layout surely comes while keycodes are lent.
  std::this_thread::sleep_for(50ms);
  kill(tipeo.pid(), SIGSTOP);
  ASSERT_EQ(sistema({"setxkbmap", "-layout", "de"}), 0);
  kill(tipeo.pid(), SIGCONT);
  // The run binds its next batches and restores what it lent around the new layout's keys.
  EXPECT_EQ(tipeo.fin(20s), 0);
  EXPECT_EQ(notaDelTeclado(), "");
  EXPECT_EQ(mapaDelTeclado(), alemana);
}

TEST(TecladoReal, DosTextosALaVezLleganUnoTrasOtro) {
  const std::string uno = "primero: áéíóú ñ 0123456789 ¿qué? €";
  const std::string otro = "segundo — жёлтый ß ü @#$ {} 👍🏽";
  for (const char* distribucion : {"us", "ru,us"}) {
    fijarDistribucion(distribucion);
    const std::string antes = mapaDelTeclado();
    DialogoEntrada dialogo;
    ASSERT_TRUE(dialogo.listo());
    {
      EnMarcha a = axEnMarcha({"type", uno});
      EnMarcha b = axEnMarcha({"type", otro});
      EXPECT_EQ(a.fin(10s), 0);
      EXPECT_EQ(b.fin(10s), 0);
    }
    sinErrores(ax({"key", "return"}));
    EXPECT_EQ(dialogo.app().esperarFin(), 0);
    const std::string escrito = dialogo.app().salida();
    EXPECT_TRUE(escrito == uno + otro + "\n" || escrito == otro + uno + "\n")
        << distribucion << ": " << escrito;
    EXPECT_EQ(mapaDelTeclado(), antes) << distribucion;
  }
}

}  // namespace
}  // namespace tildo::prueba
