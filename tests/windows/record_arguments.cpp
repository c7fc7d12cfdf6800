// Stands in for a browser in the end-to-end test: registered for ".htm", it writes the
// arguments it was started with, one per line in UTF-8, to "arguments.txt" beside itself.
#include <windows.h>
// After windows.h, whose types it uses.
#include <shellapi.h>

#include <cstdio>
#include <string>

#include "tests/windows/utf8_text.h"

int main() {
  wchar_t self[MAX_PATH * 4];
  const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH * 4);
  if (length == 0 || length >= MAX_PATH * 4) return 1;
  std::wstring output(self, length);
  output.erase(output.find_last_of(L'\\') + 1);
  output += L"arguments.txt";

  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(GetCommandLineW(), &count);
  if (!arguments) return 1;
  FILE* file = _wfopen((output + L".part").c_str(), L"wb");
  if (!file) return 1;
  for (int i = 1; i < count; ++i) {
    const std::string line = utf8(arguments[i]) + "\n";
    std::fwrite(line.data(), 1, line.size(), file);
  }
  std::fclose(file);
  LocalFree(arguments);
  // Whole or not at all: the test reads the file as soon as it appears.
  return MoveFileExW((output + L".part").c_str(), output.c_str(), MOVEFILE_REPLACE_EXISTING) ? 0
                                                                                             : 1;
}
