// Prints what Windows holds for every visible top-level window, as the end-to-end test reads
// it: one line a window, "<style> <extended style> <left> <top> <width> <height> <title>", the
// styles in hex, then the client area in screen pixels, then the title in UTF-8.
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/windows/utf8_text.h"

namespace {

BOOL CALLBACK printWindow(HWND window, LPARAM) {
  if (!IsWindowVisible(window)) return TRUE;
  wchar_t title[256] = {};
  // Reads the title Windows holds without sending the window a message, which would wake it.
  InternalGetWindowText(window, title, 256);
  RECT client = {};
  POINT corner = {};
  GetClientRect(window, &client);
  ClientToScreen(window, &corner);
  std::printf("%08llx %08llx %ld %ld %ld %ld %s\n",
              static_cast<unsigned long long>(GetWindowLongPtrW(window, GWL_STYLE)),
              static_cast<unsigned long long>(GetWindowLongPtrW(window, GWL_EXSTYLE)), corner.x,
              corner.y, client.right, client.bottom, utf8(title).c_str());
  return TRUE;
}

}  // namespace

int main() { return EnumWindows(printWindow, 0) ? 0 : 1; }
