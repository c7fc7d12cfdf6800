#include "platform/ScreenColormap.h"

namespace pelorin {

// Windows has no colormaps: its windows are drawn on the screen as they are.
void useScreenColormap(std::uintptr_t) {}

}  // namespace pelorin
