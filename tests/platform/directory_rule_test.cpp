#include <gtest/gtest.h>

#include <string>

#include "platform/DirectoryRule.h"

namespace pelorin {
namespace {

std::string cut(std::string_view path, std::string_view separators) {
  return cutBackToDirectory<char>(path, separators);
}

TEST(DirectoryRule, WindowsPathsWithBackslashes) {
  const std::pair<const char*, const char*> cases[] = {
      {R"(C:\Games\Puzzle\game.exe)", R"(C:\Games\Puzzle)"},
      {R"(C:\game.exe)", "C:"},
      {R"(c:\games\game.exe)", R"(c:\games)"},
      {R"(\\server\share\games\game.exe)", R"(\\server\share\games)"},
      {R"(\game.exe)", R"(\)"},
      {"game.exe", "g"},
      {"", ""}};
  for (auto [path, directory] : cases) EXPECT_EQ(cut(path, "\\"), directory) << path;
  // The same paths with both separators allowed, as on Windows, give the same directories.
  for (auto [path, directory] : cases) EXPECT_EQ(cut(path, "\\/"), directory) << path;
}

TEST(DirectoryRule, ForwardSlashesCountWhereTheyAreSeparators) {
  EXPECT_EQ(cut("C:/Games/Puzzle/game.exe", "\\/"), "C:/Games/Puzzle");
  EXPECT_EQ(cut(R"(C:\Games/Puzzle\game.exe)", "\\/"), R"(C:\Games/Puzzle)");
  EXPECT_EQ(cut("C:/Games/Puzzle/game.exe", "\\"), "C") << "with '\\' alone there is none";
}

TEST(DirectoryRule, PosixPaths) {
  EXPECT_EQ(cut("/home/hana/hry/pelorin/pelorin", "/"), "/home/hana/hry/pelorin");
  EXPECT_EQ(cut("/pelorin", "/"), "/");
  EXPECT_EQ(cut("/opt/p/", "/"), "/opt/p");
}

TEST(DirectoryRule, NoCapOnTheLength) {
  const std::string directory = "C:\\" + std::string(300, 'd') + "\\" + std::string(300, 'e');
  EXPECT_EQ(cut(directory + "\\game.exe", "\\"), directory);
}

TEST(DirectoryRule, WideCharactersBeyondLatin) {
  const std::wstring path = L"C:\\Hra \u017dlu\u0165 \u03a9\u6f22\\pelorin.exe";
  EXPECT_EQ(cutBackToDirectory<wchar_t>(path, L"\\/"), L"C:\\Hra \u017dlu\u0165 \u03a9\u6f22");
}

}  // namespace
}  // namespace pelorin
