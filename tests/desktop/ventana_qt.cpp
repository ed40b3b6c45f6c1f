// A Qt Widgets window with FILAS rows (default 100) of a label, a button and a check box, for
// the tests and the benchmark of element trees. It sets nothing about accessibility itself:
// whether its tree is exposed is the session's choice.
#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const int filas = argc > 1 ? QString(argv[1]).toInt() : 100;
  QScrollArea marco;
  marco.setWindowTitle("Ventana Qt de prueba");
  auto* contenido = new QWidget;
  auto* rejilla = new QGridLayout(contenido);
  for (int i = 0; i < filas; ++i) {
    rejilla->addWidget(new QLabel(QString("Fila %1").arg(i)), i, 0);
    rejilla->addWidget(new QPushButton(QString("Botón %1").arg(i)), i, 1);
    rejilla->addWidget(new QCheckBox(QString("Opción %1").arg(i)), i, 2);
  }
  marco.setWidget(contenido);
  marco.resize(500, 600);
  marco.show();
  return app.exec();
}
