// A table shared by several players through a group. Needs root, which sets up the directory
// and then plays each player in a child process with ids of its own.
#include <grp.h>
#include <sys/stat.h>

#include "scores/RecordScore.h"
#include "scores/ScoreFile.h"
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
             const std::string& name) {
  const int status = runInChild([&] {
    const gid_t groups[] = {kSharedGroup};
    if (setgroups(1, groups) != 0 || setgid(player.gid) != 0 || setuid(player.uid) != 0) return 20;
    umask(022);  // the usual one: a new file would not be writable by the group
    ScoreTable table;
    if (!readScoreFile(directory, table)) return 21;
    return recordResult(directory, score, name, table) ? 0 : 1;
  });
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

class SharedTable : public ::testing::Test {
 protected:
  void SetUp() override {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to play two users";
  }

  // A group-writable score file, as an administrator sets one up for the group.
  void prepare(const fs::path& directory) {
    ScoreTable table;
    ASSERT_TRUE(readScoreFile(directory, table));
    const fs::path file = directory / kScoreFileName;
    ASSERT_EQ(chown(file.c_str(), 0, kSharedGroup), 0);
    ASSERT_EQ(chmod(file.c_str(), 0664), 0);
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
};

TEST_F(SharedTable, GroupDirectoryKeepsBothPlayersResults) {
  ScratchDirectory directory("shared-group");
  prepare(directory.path());
  ASSERT_EQ(chown(directory.path().c_str(), 0, kSharedGroup), 0);
  ASSERT_EQ(chmod(directory.path().c_str(), 0775), 0);
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
  ASSERT_EQ(chown(directory.path().c_str(), 0, kSharedGroup), 0);
  ASSERT_EQ(chmod(directory.path().c_str(), 01775), 0);
  playRounds(directory.path());
}

}  // namespace
}  // namespace pelorin::testing
