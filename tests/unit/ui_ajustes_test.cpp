// The settings file as the agent server and the bar share it, and the interface language.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <thread>

#include <gtest/gtest.h>

#include "common/archivos.h"
#include "ui/frame/ajustes.h"
#include "ui/frame/constantes.h"

namespace tildo::ui {
namespace {

// A private configuration directory for each test, with the locale variables cleared.
class UiAjustes : public ::testing::Test {
 protected:
  void SetUp() override {
    char plantilla[] = "/tmp/tildo-ajustes-XXXXXX";
    raiz_ = mkdtemp(plantilla);
    rutas_ = conCarpeta(raiz_ + "/conf");
    for (const char* v : {"LANGUAGE", "LC_ALL", "LC_MESSAGES", "LANG"}) unsetenv(v);
  }
  void TearDown() override { std::filesystem::remove_all(raiz_); }
  static Rutas conCarpeta(const std::string& carpeta) {
    return calcularRutas("/h", carpeta, "/x/bin/tildo-ui", "/");
  }
  void escribir(const std::string& contenido) {
    std::filesystem::create_directories(rutas_.carpeta);
    escribirEnSitio(rutas_.archivoAjustes, contenido);
  }
  std::string raiz_;
  Rutas rutas_;
};

TEST_F(UiAjustes, GuardarEscribeLaFormaBonitaEnSitio) {
  Json a = leerAjustes(rutas_);  // no file yet: the defaults
  EXPECT_EQ(a, AJUSTES_POR_DEFECTO);
  a["idioma"] = "zh/TW";
  a["voz"] = true;
  guardarAjustes(rutas_, a);  // the directory does not exist yet
  EXPECT_EQ(leerArchivo(rutas_.archivoAjustes), escribirJsonBonito(a));
  EXPECT_EQ(leerAjustes(rutas_), a);

  // Rewritten in place: the same file, so a watcher holding it sees the new content.
  struct stat antes {};
  stat(rutas_.archivoAjustes.c_str(), &antes);
  a["voz"] = false;
  guardarAjustes(rutas_, a);
  struct stat despues {};
  stat(rutas_.archivoAjustes.c_str(), &despues);
  EXPECT_EQ(antes.st_ino, despues.st_ino);
  EXPECT_EQ(leerAjustes(rutas_)["voz"], false);
  EXPECT_EQ(leerTexto(rutas_.archivoAjustes)->back(), '}');
}

TEST_F(UiAjustes, GuardarDondeNoSePuedeDejaElArchivoComoEstaba) {
  escribir("{}");
  rutas_ = conCarpeta(rutas_.archivoAjustes + "/dentro");
  guardarAjustes(rutas_, AJUSTES_POR_DEFECTO);
  EXPECT_EQ(leerArchivo(raiz_ + "/conf/ajustes.json"), "{}");
}

TEST_F(UiAjustes, UnArchivoQueNoLoEsDaLosValoresPorDefectoSinEsperarYQuedaComoEstaba) {
  namespace fs = std::filesystem;
  fs::create_directories(rutas_.carpeta);
  const auto inicio = std::chrono::steady_clock::now();
  const auto probar = [&](const char* caso) {
    EXPECT_EQ(leerAjustes(rutas_), AJUSTES_POR_DEFECTO) << caso;
    EXPECT_EQ(leerTexto(rutas_.archivoAjustes), std::nullopt) << caso;
    guardarAjustes(rutas_, AJUSTES_POR_DEFECTO);
  };
  ASSERT_EQ(mkfifo(rutas_.archivoAjustes.c_str(), 0600), 0);
  probar("fifo");
  EXPECT_TRUE(fs::is_fifo(rutas_.archivoAjustes));
  fs::remove(rutas_.archivoAjustes);
  fs::create_symlink("/dev/zero", rutas_.archivoAjustes);
  probar("/dev/zero");
  EXPECT_TRUE(fs::is_symlink(rutas_.archivoAjustes));
  fs::remove(rutas_.archivoAjustes);
  fs::create_directory(rutas_.archivoAjustes);
  probar("directorio");
  EXPECT_TRUE(fs::is_directory(rutas_.archivoAjustes));
  fs::remove(rutas_.archivoAjustes);
  // 100 MB of spaces before a valid object: too long to be read at all.
  fs::resize_file((escribir("{}"), rutas_.archivoAjustes), 100 << 20);
  EXPECT_EQ(leerAjustes(rutas_), AJUSTES_POR_DEFECTO);
  EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(2));
  // A configuration directory nobody can create files in, not even root.
  rutas_ = conCarpeta("/proc/self");
  guardarAjustes(rutas_, AJUSTES_POR_DEFECTO);
  EXPECT_EQ(leerAjustes(rutas_), AJUSTES_POR_DEFECTO);
}

// The agent server rewrites the file in place while the bar flips a row: a change never writes
// over a file it could not read as settings, and waits a moment for one a writer is still on.
TEST_F(UiAjustes, CambiarSoloSobreAjustesLeidos) {
  namespace fs = std::filesystem;
  using std::chrono::milliseconds;
  EXPECT_EQ(leerAjustesParaCambiar(rutas_, milliseconds(0)), AJUSTES_POR_DEFECTO);  // no file yet
  // A shorter text written over a longer one without the rest cut yet; an emptied file.
  const std::string aMedias = R"({"voz": true}, "zoom": false, "idioma": "en"})";
  for (const std::string& malo : {aMedias, std::string(), std::string(R"([{"voz": true}])")}) {
    escribir(malo);
    const auto inicio = std::chrono::steady_clock::now();
    EXPECT_EQ(leerAjustesParaCambiar(rutas_, milliseconds(60)), std::nullopt) << malo;
    EXPECT_GE(std::chrono::steady_clock::now() - inicio, milliseconds(60));
    EXPECT_EQ(leerArchivo(rutas_.archivoAjustes), malo);
  }
  fs::remove(rutas_.archivoAjustes);
  fs::create_directory(rutas_.archivoAjustes);
  EXPECT_EQ(leerAjustesParaCambiar(rutas_, milliseconds(0)), std::nullopt);
  fs::remove(rutas_.archivoAjustes);
  fs::create_symlink(raiz_ + "/conf/no-existe", rutas_.archivoAjustes);
  EXPECT_EQ(leerAjustesParaCambiar(rutas_, milliseconds(0)), std::nullopt);
  fs::remove(rutas_.archivoAjustes);

  // The writer finishes while the change waits.
  escribir(aMedias);
  std::thread escritor([this] {
    std::this_thread::sleep_for(milliseconds(80));
    escribirEnSitio(rutas_.archivoAjustes, R"({"voz": true})");
  });
  Json esperado = AJUSTES_POR_DEFECTO;
  esperado["voz"] = true;
  EXPECT_EQ(leerAjustesParaCambiar(rutas_, std::chrono::seconds(5)), esperado);
  escritor.join();
}

// What a reader finds between the write and the cut: a file that cannot shrink (a memfd sealed
// against it) keeps that moment.
TEST_F(UiAjustes, EnSitioNuncaQuedaElFinalDelTextoAnterior) {
  const int fd = memfd_create("ajustes", MFD_ALLOW_SEALING);
  ASSERT_GE(fd, 0);
  const std::string largo = R"({"voz": false, "zoom": false, "idioma": "en"})";
  ASSERT_EQ(write(fd, largo.data(), largo.size()), static_cast<ssize_t>(largo.size()));
  ASSERT_EQ(fcntl(fd, F_ADD_SEALS, F_SEAL_SHRINK), 0);
  const std::string ruta = "/proc/self/fd/" + std::to_string(fd);
  const std::string corto = R"({"voz": true})";
  EXPECT_FALSE(escribirEnSitio(ruta, corto));
  const std::string visto = leerArchivo(ruta).value_or("");
  EXPECT_EQ(visto, corto + std::string(largo.size() - corto.size(), ' '));
  EXPECT_EQ(ajustesDeBytes(visto)["voz"], true);
  close(fd);
}

TEST_F(UiAjustes, LeerTextoSoloUtf8) {
  escribir("{\"idioma\": \"español\"}");
  EXPECT_EQ(leerTexto(rutas_.archivoAjustes), "{\"idioma\": \"español\"}");
  escribir("{\"a\": \"\xc3\"}");
  EXPECT_EQ(leerTexto(rutas_.archivoAjustes), std::nullopt);
  EXPECT_EQ(leerTexto(raiz_ + "/no-existe"), std::nullopt);
}

TEST_F(UiAjustes, IdiomaDelAjusteOElDelSistema) {
  Json a = AJUSTES_POR_DEFECTO;
  // Each step sets one variable more and keeps the others: the first that names a language wins;
  // an empty first entry in LANGUAGE leaves it to the locale.
  const std::vector<std::tuple<const char*, const char*, const char*>> pasos = {
      {"LANG", "es_ES.UTF-8", "es"},  {"LC_MESSAGES", "zh_TW.UTF-8", "zh"},
      {"LC_ALL", "C.UTF-8", "en"},    {"LANGUAGE", "zh-Hant-TW:es", "zh"},
      {"LANGUAGE", "pt_BR:es", "en"}, {"LANGUAGE", ":es", "en"},
      {"LC_ALL", "es_MX", "es"},      {"LC_ALL", "POSIX", "en"},
      {"LANGUAGE", "zh_CN", "zh"}};
  EXPECT_EQ(idiomaEfectivo(a), "en");  // the system names none
  for (const auto& [variable, valor, idioma] : pasos) {
    setenv(variable, valor, 1);
    EXPECT_EQ(idiomaEfectivo(a), idioma) << variable << "=" << valor;
  }
  for (const char* codigo : {"es", "en", "zh"}) {
    a["idioma"] = codigo;
    EXPECT_EQ(idiomaEfectivo(a), codigo);
  }
  for (const char* otro : {"auto", "fr", "ES", ""}) {
    a["idioma"] = otro;
    EXPECT_EQ(idiomaEfectivo(a), "zh") << otro;
  }
  EXPECT_EQ(idiomaEfectivo(Json::object()), "zh");
}

}  // namespace
}  // namespace tildo::ui
