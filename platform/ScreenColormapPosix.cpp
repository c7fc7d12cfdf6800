#include <xcb/xcb.h>

#include <cstdlib>

#include "platform/ScreenColormap.h"

namespace pelorin {

void useScreenColormap(std::uintptr_t window) {
  // A connection of its own, opened once: the window's attributes are the server's, whoever
  // changes them.
  static xcb_connection_t* const connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(connection)) return;
  const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
  const std::uint32_t colormap = screen->default_colormap;
  // Checked, so that the caller maps the window only once the server has applied it; a window
  // of another visual refuses the colormap and stays as it was.
  std::free(xcb_request_check(
      connection, xcb_change_window_attributes_checked(
                      connection, static_cast<xcb_window_t>(window), XCB_CW_COLORMAP, &colormap)));
}

}  // namespace pelorin
