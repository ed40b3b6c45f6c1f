#pragma once
// Qt on its offscreen platform for the drawing tests, colours read back by pixel, and the images
// saved under build/capturas for a person to look at.

#include <QApplication>
#include <QImage>
#include <cstdlib>
#include <filesystem>
#include <string>

namespace tildo::ui {

// One application for the whole test program, whichever test needs it first.
inline void aplicacionFueraDePantalla() {
  static int argc = 1;
  static char nombre[] = "pruebas";
  static char* argv[] = {nombre, nullptr};
  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  static QApplication app(argc, argv);
}

inline void guardar(const QImage& imagen, const std::string& nombre) {
  std::filesystem::create_directories(CARPETA_CAPTURAS);
  imagen.save(QString::fromStdString(std::string(CARPETA_CAPTURAS) + "/" + nombre + ".png"));
}

// Near the colour, each component within the margin.
inline bool cerca(QRgb p, int r, int g, int b, int margen = 16) {
  return std::abs(qRed(p) - r) <= margen && std::abs(qGreen(p) - g) <= margen &&
         std::abs(qBlue(p) - b) <= margen;
}

// COLOR_CIAN is 94, 232, 255.
inline bool esCian(QRgb p, int margen = 16) {
  return cerca(p, 94, 232, 255, margen);
}

}  // namespace tildo::ui
