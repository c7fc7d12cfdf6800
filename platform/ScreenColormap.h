#pragma once

#include <cstdint>

// Qt gives every X11 window it creates one private colormap. Screen readers that honour
// colormaps (xwd, and what shares its code) read all windows of one colormap through the first
// of them, so a window lying entirely inside another of the same colormap is read through the
// window it covers, and comes out black though the screen shows it. A window with the screen's
// default colormap is read from the screen itself.
namespace pelorin {

// Gives the X11 window `window` the default colormap of its screen; call it before the window
// is mapped. Does nothing where there is no X display.
void useScreenColormap(std::uintptr_t window);

}  // namespace pelorin
