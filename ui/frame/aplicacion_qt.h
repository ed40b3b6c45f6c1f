#pragma once
// What every command that opens windows does before Qt starts: Qt's warnings become trace
// lines, the X display is checked, and the accessibility bus is set up so that tildo-ax can
// read and press tildo-ui's own widgets.

namespace tildo::ui {

// Prepares the environment for a Qt application on the X display; false when there is no
// display to open (Qt would end the process with a fatal error of its own).
bool prepararQt();

// The arguments Qt's application is made with; Qt keeps them for the process's whole life.
int& argcDeQt();
char** argvDeQt();

// While it lives (made once Qt's application exists), a process that Qt ends because its
// connection to the X display broke (Qt warns and exits with status 1) ends through `terminar`
// instead, which must not return.
class AlPerderseLaPantalla {
 public:
  explicit AlPerderseLaPantalla(void (*terminar)());
  ~AlPerderseLaPantalla();
  AlPerderseLaPantalla(const AlPerderseLaPantalla&) = delete;
  AlPerderseLaPantalla& operator=(const AlPerderseLaPantalla&) = delete;
};

}  // namespace tildo::ui
