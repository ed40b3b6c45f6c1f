// captura ARCHIVO.png [X Y ANCHO ALTO]: saves what the X display shows, or the rectangle given,
// for a person to look at after a test.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
  if (argc != 2 && argc != 6) return 2;
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication aplicacion(argc, argv);
  QScreen* pantalla = QGuiApplication::primaryScreen();
  if (!pantalla) return 1;
  int rectangulo[4] = {0, 0, -1, -1};
  for (int i = 0; argc == 6 && i < 4; ++i) {
    bool bien = false;
    rectangulo[i] = QString::fromLocal8Bit(argv[i + 2]).toInt(&bien);
    if (!bien) return 2;
  }
  const QPixmap imagen =
      pantalla->grabWindow(0, rectangulo[0], rectangulo[1], rectangulo[2], rectangulo[3]);
  return imagen.save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
