// captura ARCHIVO.png: saves what the X display shows, for a person to look at after a test.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>

int main(int argc, char** argv) {
  if (argc != 2) return 2;
  qputenv("QT_QPA_PLATFORM", "xcb");
  QGuiApplication aplicacion(argc, argv);
  QScreen* pantalla = QGuiApplication::primaryScreen();
  if (!pantalla) return 1;
  return pantalla->grabWindow(0).save(QString::fromLocal8Bit(argv[1]), "PNG") ? 0 : 1;
}
