// Windows only: a rename over a file that another program holds open fails there for as long
// as it holds it; the lock lives in a file beside the table.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <system_error>
#include <thread>

#include "scores/disk/ScoreDiskCommon.h"
#include "scores/disk/ScorePlace.h"
#include "scores/rules/RecordScore.h"
#include "tests/disk_table_driver.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;

// A symbolic link, where the player may make one (developer mode, or an administrator); Wine 8
// reports success without making any.
bool makeLink(const fs::path& link, const fs::path& target) {
  ::CreateSymbolicLinkW(link.c_str(), target.c_str(), SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE);
  const DWORD attributes = ::GetFileAttributesW(link.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

class WindowsScoreFile : public ::testing::Test {
 protected:
  void SetUp() override {
    directory_ = fs::temp_directory_path() /
                 ("pelorin-windows-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(fs::create_directory(directory_));
    ScoreTable table;
    ASSERT_TRUE(readScoreFile(directory_, table));
  }
  void TearDown() override {
    std::error_code error;
    fs::remove_all(directory_, error);
  }
  fs::path file() const { return directory_ / kScoreFileName; }
  // Opened as many programs do: without letting anyone delete or rename the file.
  HANDLE holdOpen() const {
    return ::CreateFileW(file().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  }
  ScoreTable current() const {
    ScoreTable table;
    EXPECT_TRUE(readScoreFile(directory_, table));
    return table;
  }

  fs::path directory_;
};

TEST_F(WindowsScoreFile, RenameWaitsForAReaderThatLetsGoSoon) {
  const HANDLE reader = holdOpen();
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  std::thread letGo([reader] {
    ::Sleep(200);
    ::CloseHandle(reader);
  });
  ScoreTable table;
  const bool stored = recordResult(directory_, 5000, "Patient", table);
  letGo.join();
  EXPECT_TRUE(stored);
  EXPECT_EQ(nameOf(current(), 0), "Patient");
}

TEST_F(WindowsScoreFile, AReaderThatHoldsOnKeepsTheOldTableAndNoTemporaryStays) {
  const ScoreTable before = current();
  const HANDLE reader = holdOpen();
  ASSERT_NE(reader, INVALID_HANDLE_VALUE);
  ScoreTable table;
  EXPECT_FALSE(recordResult(directory_, 5000, "Dropped", table));
  ::CloseHandle(reader);
  EXPECT_EQ(current(), before);
  for (const auto& entry : fs::directory_iterator(directory_)) {
    const std::string name = entry.path().filename().string();
    EXPECT_TRUE(name == "pelorin.sco" || name == "pelorin.sco.lock") << name;
  }
}

TEST_F(WindowsScoreFile, ASecondGameWaitsForTheLock) {
  auto first = LockedScoreFile::lock(file());
  ASSERT_NE(first, nullptr);
  bool released = false;
  std::thread later([&] {
    ::Sleep(300);
    released = true;
    first.reset();
  });
  const auto second = LockedScoreFile::lock(file());
  later.join();
  EXPECT_NE(second, nullptr);
  EXPECT_TRUE(released) << "the lock was had only after the first game let it go";
}

TEST_F(WindowsScoreFile, ThePlayersOwnLinkIsFollowedAndItsTargetReplaced) {
  const fs::path table = directory_ / L"table.bin";
  fs::rename(file(), table);
  if (!makeLink(file(), table)) GTEST_SKIP() << "symbolic links cannot be made here";
  ScoreTable shown;
  EXPECT_TRUE(recordResult(directory_, 5000, "Followed", shown));
  EXPECT_TRUE(fs::is_symlink(file()));
  EXPECT_EQ(nameOf(current(), 0), "Followed");
}

// Links that another program planted at a stale temporary name and at the lock file's name:
// nothing outside the directory changes, and the lock link stores no result.
TEST_F(WindowsScoreFile, LinksAtTheLockFileAndTemporaryNamesAreNotFollowed) {
  const fs::path outside = directory_ / L"outside";
  ASSERT_TRUE(fs::create_directory(outside));
  std::ofstream(outside / L"notes") << "precious data";
  const fs::path planted = directory_ / L"pelorin.sco.0123456789abcdef.tmp";
  if (!makeLink(planted, outside / L"notes")) GTEST_SKIP() << "symbolic links cannot be made here";
  const HANDLE link = ::CreateFileW(planted.c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  const FILETIME longAgo{0, 0x01000000};
  ASSERT_TRUE(::SetFileTime(link, &longAgo, &longAgo, &longAgo));
  ::CloseHandle(link);
  ScoreTable table;
  EXPECT_TRUE(recordResult(directory_, 5000, "Stored", table));
  fs::remove(directory_ / L"pelorin.sco.lock");
  ASSERT_TRUE(makeLink(directory_ / L"pelorin.sco.lock", outside / L"lock"));
  EXPECT_FALSE(recordResult(directory_, 6000, "Dropped", table));
  EXPECT_EQ(nameOf(current(), 0), "Stored");
  EXPECT_EQ(std::distance(fs::directory_iterator(outside), fs::directory_iterator()), 1);
  std::ifstream notes(outside / L"notes");
  EXPECT_EQ(std::string(std::istreambuf_iterator<char>(notes), {}), "precious data");
}

TEST(WindowsScorePlaces, TheOwnPlaceIsTheVirtualStoreOfTheFolderWithoutItsDrive) {
  const ScorePlaces places = scorePlacesOf(LR"(C:\Program Files (x86)\Pelorin)");
  EXPECT_EQ(places.game, fs::path(LR"(C:\Program Files (x86)\Pelorin)"));
  const std::wstring own = places.own.native();
  EXPECT_TRUE(own.ends_with(LR"(\AppData\Local\VirtualStore\Program Files (x86)\Pelorin)"))
      << places.own.string();
  EXPECT_TRUE(scorePlacesOf(LR"(\\server\games\Pelorin)").own.empty()) << "no drive, no store";
}

TEST(WindowsScorePlaces, FileCallsTakeTheLongFormOfEveryPath) {
  EXPECT_EQ(systemPath(LR"(C:\Hry\.\Pelorin\pelorin.sco)").native(),
            LR"(\\?\C:\Hry\Pelorin\pelorin.sco)");
  EXPECT_EQ(systemPath(LR"(\\server\games\pelorin.sco)").native(),
            LR"(\\?\UNC\server\games\pelorin.sco)");
}

// Held as a virus scanner or an indexer holds a new file: without delete sharing, a moment.
fs::path heldDirectory;
std::thread letGoOfTemporary;
void holdTheTemporaryFile(ReplaceStep step) {
  if (step != ReplaceStep::TemporaryWritten) return;
  for (const auto& entry : fs::directory_iterator(heldDirectory)) {
    if (entry.path().extension() != ".tmp") continue;
    const HANDLE held = ::CreateFileW(entry.path().c_str(), GENERIC_READ,
                                      FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
    letGoOfTemporary = std::thread([held] {
      ::Sleep(150);
      ::CloseHandle(held);
    });
  }
}

TEST_F(WindowsScoreFile, CreationOutlastsAScannerHoldingItsTemporaryFile) {
  ASSERT_TRUE(fs::remove(file()));
  heldDirectory = directory_;
  setReplaceStepHook(holdTheTemporaryFile);
  ScoreTable table;
  const bool created = readScoreFile(directory_, table);
  setReplaceStepHook(nullptr);
  ASSERT_TRUE(letGoOfTemporary.joinable()) << "the temporary file was not held";
  letGoOfTemporary.join();
  EXPECT_TRUE(created);
  EXPECT_EQ(table, defaultScoreTable());
  std::error_code error;
  EXPECT_EQ(fs::file_size(file(), error), 220u);
  for (const auto& entry : fs::directory_iterator(directory_)) {
    EXPECT_EQ(entry.path().filename().string(), "pelorin.sco") << "left over";
  }
}

}  // namespace
}  // namespace pelorin
