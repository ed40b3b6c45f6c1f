// Reads and writes against files that are not what they seem: directories, FIFOs, devices
// behind links, files too long, names planted where a temporary file goes.
#include "common/archivos.h"

#include <fcntl.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>

#include <gtest/gtest.h>

namespace tildo {
namespace {

namespace fs = std::filesystem;

class Archivos : public ::testing::Test {
 protected:
  void SetUp() override {
    char plantilla[] = "/tmp/tildo-archivos-XXXXXX";
    carpeta_ = mkdtemp(plantilla);
  }
  void TearDown() override { fs::remove_all(carpeta_); }
  std::string ruta(const std::string& nombre) const { return carpeta_ + "/" + nombre; }
  // The names in the directory, to see that no temporary file is left behind.
  std::vector<std::string> nombres() const {
    std::vector<std::string> lista;
    for (const auto& e : fs::directory_iterator(carpeta_)) lista.push_back(e.path().filename());
    std::sort(lista.begin(), lista.end());
    return lista;
  }
  std::string carpeta_;
};

// A directory, a FIFO, a device behind a link and a file over 16 MB, each with its reason, are
// refused through the simulated desktop's description (tests/cli/marco_test.cpp).
TEST_F(Archivos, SoloSeLeenArchivosNormalesSinEsperarNiPasarDelLimite) {
  const auto inicio = std::chrono::steady_clock::now();
  ASSERT_EQ(mkfifo(ruta("fifo").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", ruta("cero"));
  fs::create_symlink(ruta("nada"), ruta("roto"));
  EXPECT_EQ(leerArchivoExplicado(ruta("roto")).motivo, "no existe");
  {
    const int fd = ::open(ruta("grande").c_str(), O_WRONLY | O_CREAT, 0600);
    ASSERT_EQ(::ftruncate(fd, 100 << 20), 0);
    ::close(fd);
  }
  // Of a file whose head is all that is wanted, only the head is read; other files, not at all.
  EXPECT_EQ(leerPrincipio(ruta("grande"), 10), std::string(10, '\0'));
  EXPECT_EQ(leerPrincipio(ruta("fifo"), 10), std::nullopt);
  EXPECT_EQ(leerPrincipio(ruta("cero"), 10), std::nullopt);
  EXPECT_LT(std::chrono::steady_clock::now() - inicio, std::chrono::seconds(2));

  ASSERT_TRUE(escribirAtomico(ruta("justo"), "12345"));
  EXPECT_EQ(leerArchivo(ruta("justo"), 5), "12345");
  EXPECT_EQ(leerArchivoExplicado(ruta("justo"), 4).motivo, "pasa de 4 bytes");
  EXPECT_EQ(leerPrincipio(ruta("justo"), 3), "123");
  EXPECT_EQ(leerPrincipio(ruta("justo"), 100), "12345");
  // A file that grows past its size while it is read (/proc reports 0) is still cut.
  const int fd = ::open("/proc/self/maps", O_RDONLY);
  EXPECT_EQ(leerDescriptor(fd, 10), std::nullopt);
  EXPECT_EQ(errno, EFBIG);
  ::close(fd);
  EXPECT_TRUE(leerArchivo("/proc/self/maps"));
}

// The temporary names a replacement creates in the directory, in order, as inotify saw them.
class Creados {
 public:
  explicit Creados(const std::string& carpeta) : fd_(inotify_init1(IN_NONBLOCK | IN_CLOEXEC)) {
    inotify_add_watch(fd_, carpeta.c_str(), IN_CREATE);
  }
  ~Creados() { ::close(fd_); }
  std::vector<std::string> nombres() {
    std::vector<std::string> lista;
    alignas(inotify_event) char buf[4096];
    for (ssize_t n; (n = ::read(fd_, buf, sizeof buf)) > 0;)
      for (char* p = buf; p < buf + n;) {
        const auto* e = reinterpret_cast<const inotify_event*>(p);
        if (e->len > 0) lista.push_back(e->name);
        p += sizeof(inotify_event) + e->len;
      }
    return lista;
  }

 private:
  int fd_;
};

TEST_F(Archivos, EscribirAtomicoNoSigueEnlacesYConservaLosPermisos) {
  ASSERT_TRUE(escribirAtomico(ruta("a.json"), "viejo"));
  ::chmod(ruta("a.json").c_str(), 0600);
  // The name the next write would try is planted with a link to a victim, the one after it with
  // another program's file: the names follow one another, so the last write's name gives them.
  Creados creados(carpeta_);
  ASSERT_TRUE(escribirAtomico(ruta("a.json"), "medio"));
  const auto usados = creados.nombres();
  ASSERT_EQ(usados.size(), 1u);
  const std::string usado = usados.front();
  const size_t guion = usado.rfind('-');
  const std::string prefijo = usado.substr(0, guion + 1);
  const unsigned n = std::stoul(usado.substr(guion + 1));
  const std::string enlace = prefijo + std::to_string(n + 1),
                    ajeno = prefijo + std::to_string(n + 2);
  fs::create_symlink(ruta("victima"), ruta(enlace));
  ASSERT_TRUE(escribirEnSitio(ruta(ajeno), "ajeno"));
  creados.nombres();
  ASSERT_TRUE(escribirAtomico(ruta("a.json"), "nuevo"));
  // Both planted names were tried and passed over: the one created is the third.
  EXPECT_EQ(creados.nombres(), std::vector<std::string>{prefijo + std::to_string(n + 3)});
  EXPECT_EQ(leerArchivo(ruta("a.json")), "nuevo");
  EXPECT_FALSE(fs::exists(ruta("victima")));
  EXPECT_TRUE(fs::is_symlink(ruta(enlace)));
  EXPECT_EQ(leerArchivo(ruta(ajeno)), "ajeno");
  EXPECT_EQ(fs::status(ruta("a.json")).permissions(),
            fs::perms::owner_read | fs::perms::owner_write);
  EXPECT_EQ(nombres(), (std::vector<std::string>{"a.json", enlace, ajeno}));

  // Into a directory that is not there, or over a directory, nothing is written or left.
  EXPECT_FALSE(escribirAtomico(ruta("no/hay"), "x"));
  fs::create_directory(ruta("dir"));
  EXPECT_FALSE(escribirAtomico(ruta("dir"), "x"));
  EXPECT_TRUE(fs::is_directory(ruta("dir")));
  EXPECT_EQ(nombres().size(), 4u);
}

TEST_F(Archivos, EscribirEnSitioYAnadirRehusanLoQueNoEsUnArchivo) {
  ASSERT_EQ(mkfifo(ruta("fifo").c_str(), 0600), 0);
  fs::create_symlink("/dev/zero", ruta("cero"));
  fs::create_directory(ruta("dir"));
  for (const char* nombre : {"fifo", "cero", "dir"})
    EXPECT_FALSE(escribirEnSitio(ruta(nombre), "x")) << nombre;
  // A log nobody reads through its FIFO is not waited on.
  for (const char* nombre : {"fifo", "dir"})
    EXPECT_FALSE(anadirAlArchivo(ruta(nombre), "x")) << nombre;
  EXPECT_TRUE(fs::is_fifo(ruta("fifo")));
  // In place, a shorter text leaves nothing of the longer one after it.
  ASSERT_TRUE(escribirEnSitio(ruta("a"), "largo largo"));
  ASSERT_TRUE(escribirEnSitio(ruta("a"), "corto"));
  EXPECT_EQ(leerArchivo(ruta("a")), "corto");
  ASSERT_TRUE(anadirAlArchivo(ruta("a"), "+"));
  EXPECT_EQ(leerArchivo(ruta("a")), "corto+");
}

}  // namespace
}  // namespace tildo
