// tildo-ui's command frame and decir as the agent server sees them: lines, exit codes, and
// the speech program's arguments and end.
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstring>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "ayuda.h"
#include "common/archivos.h"
#include "common/texto.h"
#include "en_marcha.h"
#include "programa.h"

namespace tildo::prueba {
namespace {

using namespace std::chrono_literals;

Salida ui(const std::vector<std::string>& args,
          const std::map<std::string, std::string>& entorno = {}) {
  return correr("tildo-ui", args, entorno);
}

TEST(UiMarco, PalabraDeComandoAyudaYVersion) {
  comprobarComandos("tildo-ui", {"barra", "aro", "cursor", "decir", "permiso", "vigilar"},
                    "barra | aro | cursor | decir | vigilar");
}

// Bad coordinates are told before the display is looked for.
TEST(UiMarco, SinPantallaOConCoordenadasQueNoSonEnterosFallanConClaridad) {
  const std::map<std::string, std::string> sinPantalla{{"DISPLAY", ""}, {"WAYLAND_DISPLAY", ""}};
  const std::vector<std::pair<std::vector<std::string>, std::string>> casos = {
      {{"aro", "500", "300"}, "no hay pantalla en la que mostrar el aro (DISPLAY)"},
      {{"cursor"}, "no hay pantalla en la que mostrar el cursor (DISPLAY)"},
      {{"barra"}, "no hay pantalla en la que mostrar la barra (DISPLAY)"},
      {{"permiso", "--segundos", "1"}, "no hay pantalla en la que preguntar (DISPLAY)"},
      {{"aro", "inf", "300"}, "aro necesita x e y finitas, dentro de 64 bits"},
      {{"aro", "--x", "nan"}, "aro necesita x e y finitas, dentro de 64 bits"},
  };
  for (const auto& [args, error] : casos) {
    auto s = ui(args, sinPantalla);
    EXPECT_TRUE(falla(s, error)) << args[0];
    EXPECT_EQ(s.stderr_, "") << args[0];
  }
}

// A speech program of our own: it records its arguments, says something on its standard
// output, writes its pid and does what the test asks (an exit status, or a long sleep).
class VozDePrueba {
 public:
  explicit VozDePrueba(const std::string& fin = "exit 0") {
    char plantilla[] = "/tmp/tildo-voz-XXXXXX";
    carpeta_ = mkdtemp(plantilla);
    programa_ = carpeta_ + "/voz";
    escribirAtomico(programa_,
                    "#!/bin/sh\n"
                    "for a in \"$@\"; do printf '%s\\0' \"$a\"; done > \"$0.args\"\n"
                    "echo esto no es JSON\n"
                    "echo $$ > \"$0.pid\"\n" +
                        fin + "\n");
    std::filesystem::permissions(programa_, std::filesystem::perms::owner_all);
  }
  ~VozDePrueba() { std::filesystem::remove_all(carpeta_); }
  std::map<std::string, std::string> entorno() const { return {{"TILDO_VOZ_PROGRAMA", programa_}}; }
  std::vector<std::string> argumentos() const {
    std::vector<std::string> args;
    const std::string crudo = leerArchivo(programa_ + ".args").value_or("");
    for (size_t i = 0; i < crudo.size();) {
      const size_t fin = crudo.find('\0', i);
      args.push_back(crudo.substr(i, fin - i));
      i = fin + 1;
    }
    return args;
  }
  bool hablo() const { return std::filesystem::exists(programa_ + ".args"); }
  // Its pid once it has started, 0 when it does not within ten seconds.
  pid_t esperarPid() const {
    const auto limite = std::chrono::steady_clock::now() + 10s;
    pid_t pid = 0;
    while (!(pid = std::atoi(leerArchivo(programa_ + ".pid").value_or("0").c_str())) &&
           std::chrono::steady_clock::now() < limite)
      std::this_thread::sleep_for(10ms);
    return pid;
  }

 private:
  std::string carpeta_;
  std::string programa_;
};

using V = std::vector<std::string>;

TEST(UiDecir, SinTextoNoHabla) {
  VozDePrueba voz;
  for (const V& args :
       {V{"decir"}, V{"decir", "--texto", " \t\u00a0\u3000"}, V{"decir", " ", "\t"}}) {
    auto s = ui(args, voz.entorno());
    EXPECT_TRUE(falla(s, "decir necesita --texto"));
  }
  EXPECT_FALSE(voz.hablo());
}

TEST(UiDecir, ArgumentosDelProgramaYLineaDeExito) {
  VozDePrueba voz("exit 3");
  auto s = ui({"decir", "hola", "--voz", "Mónica"}, voz.entorno());
  EXPECT_EQ(voz.argumentos(), (V{"hola --voz Mónica", "-v", "Mónica"}));
  // Its own output stays off the JSON channel; its status is reported, not a failure.
  EXPECT_EQ(s.stdout_, "{\"codigo\":3,\"dicho\":\"hola --voz Mónica\",\"ok\":true}\n");
  EXPECT_EQ(s.codigo, 0);

  s = ui({"decir", "--voz", "", "--texto", "-v hola"}, voz.entorno());
  EXPECT_EQ(voz.argumentos(), V{"-v hola"});
  EXPECT_EQ(s.stdout_, "{\"codigo\":3,\"dicho\":\"-v hola\",\"ok\":true}\n");

  s = ui({"decir", "hola", "--texto"}, voz.entorno());
  EXPECT_EQ(voz.argumentos(), V{"hola --texto"});
}

TEST(UiDecir, Corta300ParaDecirY120ParaContar) {
  VozDePrueba voz("kill -9 $$");
  std::string largo;
  for (int i = 0; i < 100; ++i) largo += "ñe\u0301🇪🇸👩‍👩‍👧a";
  ASSERT_EQ(contarGrafemas(largo), 500u);
  auto s = ui({"decir", "--texto", largo}, voz.entorno());
  ASSERT_EQ(voz.argumentos().size(), 1u);
  EXPECT_EQ(voz.argumentos()[0], primerosGrafemas(largo, 300));
  EXPECT_EQ(s.json()["dicho"], primerosGrafemas(largo, 120));
  EXPECT_EQ(s.json()["codigo"], 9);  // ended by a signal: its number
  EXPECT_EQ(s.codigo, 0);
}

TEST(UiDecir, ProgramaQueNoArranca) {
  auto s = ui({"decir", "hola"}, {{"TILDO_VOZ_PROGRAMA", "/no/existe/voz"}});
  EXPECT_TRUE(falla(s, "no pude hablar: No such file or directory"));
  VozDePrueba voz;
  std::filesystem::permissions(voz.entorno().at("TILDO_VOZ_PROGRAMA"),
                               std::filesystem::perms::owner_read);
  s = ui({"decir", "hola"}, voz.entorno());
  EXPECT_EQ(s.stdout_, "{\"error\":\"no pude hablar: Permission denied\",\"ok\":false}\n");
  EXPECT_FALSE(voz.hablo());
}

TEST(UiDecir, TerminarloCortaLaVozEnSecoYNoImprimeNada) {
  VozDePrueba voz("exec sleep 30");
  EnMarcha decir("tildo-ui", {"decir", "hola"}, voz.entorno(), false);
  const pid_t hablante = voz.esperarPid();
  ASSERT_GT(hablante, 0);
  kill(decir.pid(), SIGTERM);
  EXPECT_EQ(decir.fin(), 0);
  EXPECT_EQ(decir.linea(), std::nullopt);
  // Killed and reaped before tildo-ui ended, not left sleeping.
  EXPECT_EQ(kill(hablante, 0), -1);
  EXPECT_EQ(errno, ESRCH);
}

// Signals tildo-ui cannot catch or does not handle: the speech program goes with it all the same.
TEST(UiDecir, MuertoDeCualquierSenalNoDejaLaVozSonando) {
  // The orphaned speech program is adopted here, where its end can be seen.
  ASSERT_EQ(prctl(PR_SET_CHILD_SUBREAPER, 1), 0);
  for (int senal : {SIGKILL, SIGINT, SIGHUP}) {
    VozDePrueba voz("exec sleep 30");
    EnMarcha decir("tildo-ui", {"decir", "hola"}, voz.entorno(), false);
    const pid_t hablante = voz.esperarPid();
    ASSERT_GT(hablante, 0) << strsignal(senal);
    kill(decir.pid(), senal);
    EXPECT_EQ(decir.fin(), 128 + senal) << strsignal(senal);
    EXPECT_TRUE(decir.porSenal()) << strsignal(senal);
    int estado = 0;
    pid_t fin = 0;
    const auto espera = std::chrono::steady_clock::now() + 3s;
    while ((fin = waitpid(hablante, &estado, WNOHANG)) == 0 &&
           std::chrono::steady_clock::now() < espera)
      std::this_thread::sleep_for(10ms);
    EXPECT_EQ(fin, hablante) << strsignal(senal) << ": the speech program still runs";
    if (fin != hablante) {
      kill(hablante, SIGKILL);
      waitpid(hablante, &estado, 0);
    }
  }
}

}  // namespace
}  // namespace tildo::prueba
