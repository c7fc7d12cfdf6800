#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <set>
#include <string>
#include <system_error>
#include <vector>

#include "tests/disk_table_driver.h"

namespace pelorin {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<std::uint8_t>;

Bytes readFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const fs::path& path, const Bytes& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(bytes.data()),
            static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(out.good()) << path;
}

Bytes defaultFileBytes() {
  const std::string name("Quillon Dynamics\0\0\0\0", 20);
  Bytes bytes;
  for (int score = 3500; score >= 350; score -= 350) {
    bytes.insert(bytes.end(), name.begin(), name.end());
    bytes.push_back(static_cast<std::uint8_t>(score % 256));
    bytes.push_back(static_cast<std::uint8_t>(score / 256));
  }
  return bytes;
}

// A table no file in these tests holds, to show that a failed read leaves it alone.
ScoreTable untouchedTable() {
  ScoreTable table = defaultScoreTable();
  table.scoreValues[4] = 12345;
  return table;
}

class ScoreFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string testName = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    directory_ = fs::temp_directory_path() /
                 ("pelorin-scores-" + testName + "-" + std::to_string(std::random_device{}()));
    ASSERT_TRUE(fs::create_directory(directory_));
  }

  void TearDown() override {
    std::error_code error;
    fs::permissions(directory_, fs::perms::owner_all, error);  // a read-only one cannot be emptied
    fs::remove_all(directory_, error);
  }

  fs::path scoreFile() const { return directory_ / kScoreFileName; }

  // Shows that nothing else, such as a temporary file, was left behind. On Windows the lock
  // lives in a file of its own, which stays.
  std::set<std::string> entries() const {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(directory_)) {
      names.insert(entry.path().filename().string());
    }
    names.erase(std::string(kScoreFileName) + ".lock");
    return names;
  }

  // Root ignores permission bits, so the read-only cases only mean something for other users.
  bool readOnlyDirectoriesAreEnforced() const {
    const fs::path probe = directory_ / "probe";
    fs::create_directory(probe);
    fs::permissions(probe, fs::perms::owner_read | fs::perms::owner_exec);
    const bool created = std::ofstream(probe / "file").is_open();
    fs::permissions(probe, fs::perms::owner_all);
    fs::remove_all(probe);
    return !created;
  }

  fs::path directory_;
};

TEST_F(ScoreFileTest, MissingFileIsCreatedWithTheDefaultTable) {
  ScoreTable table;
  ASSERT_TRUE(readScoreFile(directory_, table));
  EXPECT_EQ(table, defaultScoreTable());
  const Bytes bytes = readFile(scoreFile());
  EXPECT_EQ(bytes, defaultFileBytes());
  ASSERT_EQ(bytes.size(), 220u);
  EXPECT_EQ(bytes[218], 0x5E);
  EXPECT_EQ(bytes[219], 0x01);
  EXPECT_EQ(entries(), std::set<std::string>{kScoreFileName});
}

TEST_F(ScoreFileTest, ExistingFileIsReadAsItIs) {
  Bytes bytes = defaultFileBytes();
  bytes[0] = 'E';
  bytes[1] = '\0';
  bytes[20] = 0xD2;
  bytes[21] = 0x04;
  writeFile(scoreFile(), bytes);
  ScoreTable table;
  ASSERT_TRUE(readScoreFile(directory_, table));
  EXPECT_EQ(nameOf(table, 0), "E");
  EXPECT_EQ(table.scoreValues[0], 1234);
  EXPECT_EQ(readFile(scoreFile()), bytes);
}

TEST_F(ScoreFileTest, EmptyFileIsReadNotReplacedAndRewritesAsMinus257) {
  writeFile(scoreFile(), {});
  ScoreTable table;
  ASSERT_TRUE(readScoreFile(directory_, table));
  EXPECT_EQ(nameOf(table, 0), std::string(20, '\xFF'));
  EXPECT_EQ(table.scoreValues[0], -257);
  EXPECT_EQ(fs::file_size(scoreFile()), 0u);

  ASSERT_TRUE(writeScoreFile(directory_, table));
  const Bytes bytes = readFile(scoreFile());
  ASSERT_EQ(bytes.size(), 220u);
  EXPECT_EQ(bytes[20], 0xFF);
  EXPECT_EQ(bytes[21], 0xFE);
  ASSERT_TRUE(readScoreFile(directory_, table));
  EXPECT_EQ(table.scoreValues[9], 65279);
  EXPECT_EQ(nameOf(table, 9), std::string(20, '\xFF'));
}

TEST_F(ScoreFileTest, RewriteReplacesALongerFileAndKeepsTheTable) {
  Bytes longFile = defaultFileBytes();
  longFile.resize(300, 'A');
  writeFile(scoreFile(), longFile);
  ScoreTable table;
  ASSERT_TRUE(readScoreFile(directory_, table));
  EXPECT_EQ(table, defaultScoreTable());

  table.scoreValues[0] = 70000;
  ASSERT_TRUE(writeScoreFile(directory_, table));
  EXPECT_EQ(table.scoreValues[0], 70000);
  const Bytes bytes = readFile(scoreFile());
  ASSERT_EQ(bytes.size(), 220u);
  EXPECT_EQ(bytes[20], 0x70);
  EXPECT_EQ(bytes[21], 0x11);
  EXPECT_EQ(entries(), std::set<std::string>{kScoreFileName});
  ASSERT_TRUE(readScoreFile(directory_, table));
  EXPECT_EQ(table.scoreValues[0], 4464);
}

TEST_F(ScoreFileTest, DirectoryNamedLikeTheFileIsLeftAlone) {
  fs::create_directory(scoreFile());
  writeFile(scoreFile() / "inside", {1, 2, 3});
  ScoreTable table = untouchedTable();
  EXPECT_FALSE(readScoreFile(directory_, table));
  EXPECT_FALSE(writeScoreFile(directory_, defaultScoreTable()));
  EXPECT_FALSE(writeDefaultScores(directory_, table));
  EXPECT_EQ(table, untouchedTable());
  EXPECT_TRUE(fs::is_directory(scoreFile()));
  EXPECT_EQ(readFile(scoreFile() / "inside"), (Bytes{1, 2, 3}));
  EXPECT_EQ(entries(), std::set<std::string>{kScoreFileName});
}

TEST_F(ScoreFileTest, MissingDirectoryIsNotCreated) {
  ScoreTable table = untouchedTable();
  EXPECT_FALSE(readScoreFile(directory_ / "absent", table));
  EXPECT_EQ(table, untouchedTable());
  EXPECT_FALSE(fs::exists(directory_ / "absent"));
}

TEST_F(ScoreFileTest, ReadOnlyDirectoryCreatesNothingButRewritesAWritableFileInPlace) {
  if (!readOnlyDirectoriesAreEnforced()) GTEST_SKIP() << "permission bits are not enforced";
  const fs::path emptyDirectory = directory_ / "empty";
  fs::create_directory(emptyDirectory);
  Bytes longFile = defaultFileBytes();
  longFile.resize(300, 'A');
  writeFile(scoreFile(), longFile);
  fs::permissions(emptyDirectory, fs::perms::owner_read | fs::perms::owner_exec);
  fs::permissions(directory_, fs::perms::owner_read | fs::perms::owner_exec);

  ScoreTable table = untouchedTable();
  EXPECT_FALSE(readScoreFile(emptyDirectory, table));
  EXPECT_EQ(table, untouchedTable());
  EXPECT_TRUE(fs::is_empty(emptyDirectory));

  const auto inode = [this] {
    struct stat info {};
    ::stat(scoreFile().string().c_str(), &info);
    return info.st_ino;
  };
  const auto before = inode();
  table.scoreValues[0] = 9999;
  EXPECT_TRUE(writeScoreFile(directory_, table));
  EXPECT_EQ(inode(), before) << "the file itself was rewritten, not replaced";
  const Bytes bytes = readFile(scoreFile());
  ASSERT_EQ(bytes.size(), 220u) << "the longer file's tail is cut off";
  EXPECT_EQ(bytes[20], 0x0F);
  EXPECT_EQ(bytes[21], 0x27);
  EXPECT_EQ(entries(), (std::set<std::string>{"empty", kScoreFileName}));
  ScoreTable reread;
  EXPECT_TRUE(readScoreFile(directory_, reread));
  EXPECT_EQ(reread, table);
}

TEST_F(ScoreFileTest, ReadOnlyFileIsReadButNotReplaced) {
  writeFile(scoreFile(), defaultFileBytes());
  fs::permissions(scoreFile(), fs::perms::owner_read);
  if (std::ofstream(scoreFile(), std::ios::app).is_open()) {
    GTEST_SKIP() << "permission bits are not enforced";
  }
  ScoreTable table;
  ASSERT_TRUE(readScoreFile(directory_, table));
  EXPECT_EQ(table, defaultScoreTable());
  table.scoreValues[0] = 9999;
  EXPECT_FALSE(writeScoreFile(directory_, table));
  EXPECT_EQ(readFile(scoreFile()), defaultFileBytes());
  EXPECT_EQ(entries(), std::set<std::string>{kScoreFileName});
}

TEST_F(ScoreFileTest, UnreadableFileIsNotReplacedByTheDefaults) {
  Bytes bytes = defaultFileBytes();
  bytes[20] = 0x00;
  writeFile(scoreFile(), bytes);
  fs::permissions(scoreFile(), fs::perms::owner_write);
  if (std::ifstream(scoreFile()).is_open()) GTEST_SKIP() << "permission bits are not enforced";
  ScoreTable table = untouchedTable();
  EXPECT_FALSE(readScoreFile(directory_, table));
  EXPECT_EQ(table, untouchedTable());
  fs::permissions(scoreFile(), fs::perms::owner_read);
  EXPECT_EQ(readFile(scoreFile()), bytes);
  EXPECT_EQ(entries(), std::set<std::string>{kScoreFileName});
}

// A game installed where the player cannot write: the table moves to the player's own place.
class ScorePlacesTest : public ScoreFileTest {
 protected:
  // A directory without a score file that the player cannot write, or empty where none can be
  // had: under Wine Z: is the Unix root, whose /sys not even root may write.
  fs::path closedDirectory() {
#ifdef _WIN32
    const fs::path closed = "Z:\\sys";
    if (!fs::is_directory(closed) || std::ofstream(closed / "probe").is_open()) return {};
    return closed;
#else
    if (!readOnlyDirectoriesAreEnforced()) return {};
    const fs::path closed = directory_ / "closed";
    fs::create_directory(closed);
    fs::permissions(closed, fs::perms::owner_read | fs::perms::owner_exec);
    return closed;
#endif
  }
  ScorePlaces places(const fs::path& game) const { return {game, directory_ / "own" / "pelorin"}; }
  fs::path ownFile() const { return directory_ / "own" / "pelorin" / kScoreFileName; }
};

TEST_F(ScorePlacesTest, AClosedPlaceReadsTheDefaultsAndItsFirstResultLandsInTheOwnPlace) {
  const fs::path closed = closedDirectory();
  if (closed.empty()) GTEST_SKIP() << "no directory is closed to this user";
  ScoreTable table = untouchedTable();
  ASSERT_TRUE(readScoreFile(places(closed), table));
  EXPECT_EQ(table, defaultScoreTable());
  EXPECT_FALSE(fs::exists(directory_ / "own")) << "nothing is stored before a result";
  ASSERT_TRUE(recordResult(places(closed), 5000, "Own", table));
  EXPECT_FALSE(fs::exists(closed / kScoreFileName));
  ASSERT_EQ(readFile(ownFile()).size(), 220u);
  ScoreTable reread;
  ASSERT_TRUE(readScoreFile(places(closed), reread));
  EXPECT_EQ(nameOf(reread, 0), "Own");
  EXPECT_EQ(reread.scoreValues[1], 3500);
}

TEST_F(ScorePlacesTest, TheOwnCopyIsReadFirstAndAWritablePlaceIsTheFirstChoice) {
  ScoreTable table;
  ASSERT_TRUE(readScoreFile(places(directory_), table));
  EXPECT_EQ(readFile(scoreFile()), defaultFileBytes()) << "created beside the game";
  EXPECT_FALSE(fs::exists(directory_ / "own"));
  Bytes own = defaultFileBytes();
  own[0] = 'V';
  fs::create_directories(ownFile().parent_path());
  writeFile(ownFile(), own);
  ASSERT_TRUE(readScoreFile(places(directory_), table));
  EXPECT_EQ(nameOf(table, 0), "Vuillon Dynamics");
  ASSERT_TRUE(recordResult(places(directory_), 9000, "Kept", table));
  EXPECT_EQ(readFile(scoreFile()), defaultFileBytes()) << "the game's table is left alone";
  EXPECT_EQ(readFile(ownFile())[0], 'K');
}

#ifndef _WIN32
TEST_F(ScorePlacesTest, AReadOnlyInstallsTableIsCopiedToTheOwnPlaceWithTheResult) {
  if (!readOnlyDirectoriesAreEnforced()) GTEST_SKIP() << "permission bits are not enforced";
  const fs::path install = directory_ / "install";
  fs::create_directory(install);
  Bytes shared = defaultFileBytes();
  shared[0] = 'S';
  writeFile(install / kScoreFileName, shared);
  fs::permissions(install / kScoreFileName, fs::perms::owner_read);
  fs::permissions(install, fs::perms::owner_read | fs::perms::owner_exec);
  ScoreTable table;
  ASSERT_TRUE(recordResult(places(install), 3200, "Mine", table));
  fs::permissions(install, fs::perms::owner_all);
  EXPECT_EQ(readFile(install / kScoreFileName), shared);
  ASSERT_TRUE(readScoreFile(places(install), table));
  EXPECT_EQ(nameOf(table, 0), "Suillon Dynamics");
  EXPECT_EQ(nameOf(table, 1), "Mine");
}

// As a package's link to a shared table whose directory was removed by hand: nothing is made
// through the link, and the player's own place takes the result.
TEST_F(ScorePlacesTest, ATrustedLinkToAMissingTableReadsTheDefaultsAndTheResultLandsInTheOwnPlace) {
  const fs::path install = directory_ / "install";
  fs::create_directory(install);
  const fs::path gone = directory_ / "gone" / kScoreFileName;
  fs::create_symlink(gone, install / kScoreFileName);
  ScoreTable table = untouchedTable();
  ASSERT_TRUE(readScoreFile(places(install), table));
  EXPECT_EQ(table, defaultScoreTable());
  ASSERT_TRUE(recordResult(places(install), 5000, "Own", table));
  EXPECT_EQ(nameOf(table, 0), "Own");
  ScoreTable own;
  decodeScores(readFile(ownFile()), own);
  EXPECT_EQ(own, table);
  EXPECT_TRUE(fs::is_symlink(install / kScoreFileName));
  EXPECT_FALSE(fs::exists(gone.parent_path()));
}
#endif

}  // namespace
}  // namespace pelorin
