// The floor bench/mover measures tildo-ax move against: a static program that only opens the
// display, moves the pointer with XTest and waits for the server to have done it, as any
// program that moves the pointer must.
#include <xcb/xcb.h>
#include <xcb/xtest.h>

#include <cstdlib>

int main(int argc, char** argv) {
  if (argc < 3) return 2;
  xcb_connection_t* c = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(c)) return 1;
  xcb_test_fake_input(c, XCB_MOTION_NOTIFY, 0, XCB_CURRENT_TIME, XCB_NONE,
                      int16_t(std::atoi(argv[1])), int16_t(std::atoi(argv[2])), 0);
  std::free(xcb_get_input_focus_reply(c, xcb_get_input_focus(c), nullptr));
  xcb_disconnect(c);
  return 0;
}
