// A table shared by several players through a group. Needs root, which sets up the directory
// and then plays each player in a child process with ids of its own.
#include <fcntl.h>
#include <grp.h>
#include <sys/stat.h>

#include <tuple>

#include "scores/disk/ScoreDiskCommon.h"
#include "scores/rules/RecordScore.h"
#include "tests/disk_table_driver.h"
#include "tests/score_test_support.h"

namespace pelorin::testing {
namespace {

constexpr gid_t kSharedGroup = 54000;
struct Player {
  uid_t uid;
  gid_t gid;  // the player's own group, not the shared one
};
constexpr Player kPlayers[] = {{54001, 54001}, {54002, 54002}};

// Records as `player` would; returns the child's exit status (0: stored).
int recordAs(const Player& player, const fs::path& directory, std::int32_t score,
             const std::string& name, bool unnamedTemporaries = true) {
  const int status = runInChild([&] {
    const gid_t groups[] = {kSharedGroup};
    if (setgroups(1, groups) != 0 || setgid(player.gid) != 0 || setuid(player.uid) != 0) return 20;
    umask(022);  // the usual one: a new file would not be writable by the group
    useUnnamedTemporaryFiles(unnamedTemporaries);
    ScoreTable table;
    if (!readScoreFile(directory, table)) return 21;
    return recordResult(directory, score, name, table) ? 0 : 1;
  });
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

void setOwner(const fs::path& path, uid_t owner, gid_t group, mode_t mode) {
  ASSERT_EQ(chown(path.c_str(), owner, group), 0);
  ASSERT_EQ(chmod(path.c_str(), mode), 0);
}

void makeLink(const fs::path& target, const fs::path& link, uid_t owner) {
  fs::create_symlink(target, link);
  ASSERT_EQ(lchown(link.c_str(), owner, owner), 0);
}

// Everything of a file that a planted link could change.
std::tuple<Bytes, mode_t, uid_t, gid_t> fingerprint(const fs::path& file) {
  struct stat info {};
  EXPECT_EQ(lstat(file.c_str(), &info), 0);
  return {readBytes(file), info.st_mode, info.st_uid, info.st_gid};
}

class SharedTable : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to play two users";
    // The README's shared directory, and a home that only the first player may enter.
    setOwner(root_.path(), 0, kSharedGroup, 02775);
    fs::create_directory(shared_);
    setOwner(shared_, 0, kSharedGroup, 02775);
    fs::create_directory(home_);
    setOwner(home_, kPlayers[0].uid, kPlayers[0].gid, 0700);
    std::ofstream(home_ / "notes") << "precious data\n";
    setOwner(home_ / "notes", kPlayers[0].uid, kPlayers[0].gid, 0600);
  }

  // A group-writable score file, as an administrator sets one up for the group.
  void prepare(const fs::path& directory) {
    ScoreTable table;
    ASSERT_TRUE(readScoreFile(directory, table));
    const fs::path file = directory / kScoreFileName;
    setOwner(file, 0, kSharedGroup, 0664);
  }

  // Both players take turns; every result must end up in the file.
  void playRounds(const fs::path& directory) {
    ScoreTable expected = defaultScoreTable();
    for (int round = 0; round < 6; ++round) {
      const Player& player = kPlayers[round % 2];
      const std::string name = "P" + std::to_string(player.uid) + "-" + std::to_string(round);
      const std::int32_t score = 4000 + 10 * round;
      EXPECT_EQ(recordAs(player, directory, score, name), 0) << name;
      setName(expected, *insertScore(expected, score), name);
    }
    EXPECT_EQ(readBytes(directory / kScoreFileName), bytesOf(expected));
    struct stat info {};
    ASSERT_EQ(stat((directory / kScoreFileName).c_str(), &info), 0);
    EXPECT_EQ(info.st_gid, kSharedGroup);
    EXPECT_EQ(info.st_mode & 0777, 0664u);
    EXPECT_EQ(entriesOf(directory), std::set<std::string>{kScoreFileName});
  }

  ScratchDirectory root_{"links"};
  const fs::path shared_ = root_.path() / "shared";
  const fs::path home_ = root_.path() / "home";
};

TEST_F(SharedTable, GroupDirectoryKeepsBothPlayersResults) {
  ScratchDirectory directory("shared-group");
  prepare(directory.path());
  setOwner(directory.path(), 0, kSharedGroup, 0775);
  playRounds(directory.path());
}

TEST_F(SharedTable, DirectoryNoPlayerCanWriteIsRewrittenInPlace) {
  ScratchDirectory directory("shared-file");
  prepare(directory.path());
  ASSERT_EQ(chmod(directory.path().c_str(), 0755), 0);
  playRounds(directory.path());
}

// As in /tmp: only the file's owner may replace it, the group still writes it in place.
TEST_F(SharedTable, StickyDirectoryLetsTheGroupRewriteInPlace) {
  ScratchDirectory directory("shared-sticky");
  prepare(directory.path());
  ASSERT_EQ(chown((directory.path() / kScoreFileName).c_str(), kPlayers[0].uid, kSharedGroup), 0);
  setOwner(directory.path(), 0, kSharedGroup, 01775);
  playRounds(directory.path());
}

// The second player swaps the table for a link into the first player's files, directly or
// through a directory link on the way of the first player's own link.
TEST_F(SharedTable, AnotherPlayersLinkIsNeitherFollowedNorReplaced) {
  for (const bool throughDirectory : {false, true}) {
    SCOPED_TRACE(throughDirectory ? "planted directory link" : "planted file link");
    prepare(shared_);
    const fs::path file = shared_ / kScoreFileName;
    const auto before = fingerprint(home_ / "notes");
    fs::remove(file);
    if (throughDirectory) {
      makeLink(home_, shared_ / "tables", kPlayers[1].uid);
      makeLink("tables/notes", file, kPlayers[0].uid);
    } else {
      makeLink(home_ / "notes", file, kPlayers[1].uid);
    }
    EXPECT_EQ(recordAs(kPlayers[0], shared_, 6000, "Alice"), 21) << "the table reads as unreadable";
    EXPECT_EQ(fingerprint(home_ / "notes"), before);
    EXPECT_TRUE(fs::is_symlink(file));
    fs::remove(file);
    fs::remove(shared_ / "tables");
    EXPECT_TRUE(entriesOf(shared_).empty());
  }
}

TEST_F(SharedTable, LinksOfThePlayerAndOfTheDirectoryOwnerAreFollowed) {
  for (const uid_t owner : {kPlayers[0].uid, uid_t{0}}) {
    SCOPED_TRACE(owner);
    const fs::path table = root_.path() / "table";
    prepare(shared_);
    fs::rename(shared_ / kScoreFileName, table);
    makeLink(table, shared_ / kScoreFileName, owner);
    EXPECT_EQ(recordAs(kPlayers[0], shared_, 6000, "Followed"), 0);
    ScoreTable written;
    decodeScores(readBytes(table), written);
    EXPECT_EQ(nameOf(written, 0), "Followed");
    EXPECT_TRUE(fs::is_symlink(shared_ / kScoreFileName));
    fs::remove(shared_ / kScoreFileName);
    fs::remove(table);
  }
}

// The stale-file clean-up and the temporary file of a rewrite meet a name the second player
// planted: it changes nothing outside the directory.
TEST_F(SharedTable, ALinkAtATemporaryNameChangesNothingOutside) {
  prepare(shared_);
  const auto before = fingerprint(home_ / "notes");
  const fs::path planted = shared_ / "pelorin.sco.0123456789abcdef.tmp";
  makeLink(home_ / "notes", planted, kPlayers[1].uid);
  const struct timespec stale[2] = {{0, 0}, {0, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, planted.c_str(), stale, AT_SYMLINK_NOFOLLOW), 0);
  for (const bool unnamed : {true, false}) {
    EXPECT_EQ(recordAs(kPlayers[0], shared_, 6000, "Alice", unnamed), 0);
  }
  EXPECT_EQ(fingerprint(home_ / "notes"), before);
}

}  // namespace
}  // namespace pelorin::testing
