// The score file under two games at once, kills in the middle of a rewrite, links and special
// files in its place.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <optional>
#include <sstream>
#include <string>

#include "scores/disk/ScoreDiskCommon.h"
#include "scores/rules/RecordScore.h"
#include "tests/disk_table_driver.h"
#include "tests/score_test_support.h"

namespace pelorin::testing {
namespace {

// The model: a result inserted by the pure rule, as one game alone would.
ScoreTable withResult(ScoreTable table, std::int32_t score, std::string_view name) {
  if (const auto row = insertScore(table, score)) setName(table, *row, name);
  return table;
}

ScoreTable tableIn(const fs::path& directory) {
  ScoreTable table;
  EXPECT_TRUE(readScoreFile(directory, table));
  return table;
}

ReplaceStep stepToKillAt = ReplaceStep::TemporaryCreated;
void killAtChosenStep(ReplaceStep step) {
  if (step == stepToKillAt) raise(SIGKILL);
}

void backdate(const fs::path& file, int seconds) {
  struct stat info {};
  ASSERT_EQ(lstat(file.c_str(), &info), 0);
  const struct timespec times[2] = {{info.st_mtime - seconds, 0}, {info.st_mtime - seconds, 0}};
  ASSERT_EQ(utimensat(AT_FDCWD, file.c_str(), times, AT_SYMLINK_NOFOLLOW), 0);
}

// A game in a child process: it reads the table when its dialog would open, then waits until
// the test lets its player confirm the name.
class WaitingGame {
 public:
  // With `killAt`, the game is killed at that step of its rewrite.
  WaitingGame(const fs::path& directory, std::int32_t score, const std::string& name,
              std::optional<ReplaceStep> killAt = std::nullopt) {
    int ready[2];
    int go[2];
    if (pipe(ready) != 0 || pipe(go) != 0) std::abort();
    pid_ = fork();
    if (pid_ == 0) {
      close(ready[0]);
      close(go[1]);
      ScoreTable table;
      if (!readScoreFile(directory, table)) _exit(2);
      if (write(ready[1], "r", 1) != 1) _exit(4);
      char byte;
      if (read(go[0], &byte, 1) != 1) _exit(4);
      if (killAt) {
        stepToKillAt = *killAt;
        setReplaceStepHook(killAtChosenStep);
      }
      _exit(recordResult(directory, score, name, table) ? 0 : 1);
    }
    close(ready[1]);
    close(go[0]);
    char byte;
    EXPECT_EQ(read(ready[0], &byte, 1), 1) << "the game read its table";
    close(ready[0]);
    go_ = go[1];
  }
  WaitingGame(const WaitingGame&) = delete;
  WaitingGame& operator=(const WaitingGame&) = delete;
  ~WaitingGame() {
    if (go_ >= 0) close(go_);
    if (pid_ > 0) wait();
  }

  void confirmName() {
    EXPECT_EQ(write(go_, "g", 1), 1);
    close(go_);
    go_ = -1;
  }
  // The exit status: 0 when the result was stored.
  int wait() {
    int status = 0;
    waitpid(pid_, &status, 0);
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  }

 private:
  pid_t pid_ = -1;
  int go_ = -1;
};

TEST(TwoGames, EveryResultIsKeptWhicheverNameIsConfirmedFirstOrBothAtOnce) {
  ScratchDirectory directory("two-games");
  std::mt19937 random(20261209);
  std::uniform_int_distribution<std::int32_t> scores(0, 5000);
  constexpr int kRounds = 60;
  for (int round = 0; round < kRounds; ++round) {
    const ScoreTable before = tableIn(directory.path());
    const std::int32_t scoreA = scores(random);
    const std::int32_t scoreB = scores(random);
    const std::string nameA = "A" + std::to_string(round);
    const std::string nameB = "B" + std::to_string(round);
    const ScoreTable aFirst = withResult(withResult(before, scoreA, nameA), scoreB, nameB);
    const ScoreTable bFirst = withResult(withResult(before, scoreB, nameB), scoreA, nameA);

    WaitingGame a(directory.path(), scoreA, nameA);
    WaitingGame b(directory.path(), scoreB, nameB);
    const int order = round % 3;
    if (order == 0) {
      a.confirmName();
      a.wait();
      b.confirmName();
    } else if (order == 1) {
      b.confirmName();
      b.wait();
      a.confirmName();
    } else {
      a.confirmName();
      b.confirmName();
    }
    a.wait();
    b.wait();

    const ScoreTable after = tableIn(directory.path());
    if (order == 0) {
      EXPECT_EQ(after, aFirst) << "round " << round;
    } else if (order == 1) {
      EXPECT_EQ(after, bFirst) << "round " << round;
    } else {
      EXPECT_TRUE(after == aFirst || after == bFirst) << "round " << round;
    }
    ASSERT_EQ(entriesOf(directory.path()), std::set<std::string>{kScoreFileName});
  }
}

// Random interleavings of two games, some killed in the middle of their rewrite, against the
// insertion rule alone as the model: the file always holds exactly the model's table.
TEST(TwoGames, RandomInterleavingsAndKillsMatchTheInsertionRule) {
  ScratchDirectory directory("interleavings");
  ScoreTable model = tableIn(directory.path());
  std::mt19937 random(7);
  std::uniform_int_distribution<std::int32_t> scores(0, 6000);
  std::uniform_int_distribution<int> steps(0, 7);  // 0 to 3: killed at that step; else not
  std::array<std::unique_ptr<WaitingGame>, 2> games;
  std::array<std::pair<std::int32_t, std::string>, 2> results;
  std::array<std::optional<ReplaceStep>, 2> kills;
  for (int move = 0; move < 150; ++move) {
    const int which = move % 5 == 4 ? 1 : static_cast<int>(random() % 2);
    if (!games[which]) {
      results[which] = {scores(random), "G" + std::to_string(move)};
      const int step = steps(random);
      kills[which] = step < 4 ? std::optional(static_cast<ReplaceStep>(step)) : std::nullopt;
      games[which] = std::make_unique<WaitingGame>(directory.path(), results[which].first,
                                                   results[which].second, kills[which]);
      continue;
    }
    games[which]->confirmName();
    const int status = games[which]->wait();
    games[which].reset();
    ScoreTable trial = model;
    const bool qualifies = insertScore(trial, results[which].first).has_value();
    const bool applied = !kills[which] || *kills[which] == ReplaceStep::Renamed;
    if (applied) model = withResult(model, results[which].first, results[which].second);
    // Only a result that still qualifies is written, and so can be killed while written.
    EXPECT_EQ(status, !qualifies ? 1 : kills[which] ? 128 + SIGKILL : 0) << "move " << move;
    ASSERT_EQ(readBytes(directory.path() / kScoreFileName), bytesOf(model)) << "move " << move;
    for (const std::string& name : entriesOf(directory.path())) {
      if (name != kScoreFileName) backdate(directory.path() / name, 2 * 60);
    }
  }
}

TEST(TwoGames, AResultThatNoLongerMakesTheTenIsNotWritten) {
  ScratchDirectory directory("pushed-out");
  ScoreTable table = tableIn(directory.path());
  WaitingGame late(directory.path(), 350, "Late");  // qualifies when its dialog opens
  for (int i = 0; i < kScoreRows; ++i) {
    ASSERT_TRUE(recordResult(directory.path(), 400, "Meanwhile", table));
  }
  const Bytes full = readBytes(directory.path() / kScoreFileName);
  late.confirmName();
  EXPECT_EQ(late.wait(), 1);
  EXPECT_EQ(readBytes(directory.path() / kScoreFileName), full);
}

TEST(KilledGame, FileIsTheOldOrTheNewTableAndNothingStaysBehind) {
  constexpr std::array kSteps = {ReplaceStep::TemporaryCreated, ReplaceStep::TemporaryWritten,
                                 ReplaceStep::TemporaryNamed, ReplaceStep::Renamed};
  for (const bool unnamed : {true, false}) {
    for (const ReplaceStep step : kSteps) {
      SCOPED_TRACE(::testing::Message()
                   << "unnamed temporaries " << unnamed << ", step " << static_cast<int>(step));
      ScratchDirectory directory("killed");
      const fs::path file = directory.path() / kScoreFileName;
      const ScoreTable old = tableIn(directory.path());
      const Bytes oldBytes = readBytes(file);
      stepToKillAt = step;
      const int status = runInChild([&] {
        useUnnamedTemporaryFiles(unnamed);
        setReplaceStepHook(killAtChosenStep);
        ScoreTable table;
        recordResult(directory.path(), 5000, "Killed", table);
        return 0;
      });
      ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
      const Bytes expected =
          step == ReplaceStep::Renamed ? bytesOf(withResult(old, 5000, "Killed")) : oldBytes;
      EXPECT_EQ(readBytes(file), expected);

      std::set<std::string> leftovers = entriesOf(directory.path());
      leftovers.erase(kScoreFileName);
      if (unnamed && step != ReplaceStep::TemporaryNamed) {
        EXPECT_TRUE(leftovers.empty());
      }
      // A minute later the next game finds the killed game's file and removes it.
      for (const std::string& name : leftovers) backdate(directory.path() / name, 2 * 60);
      ScoreTable table;
      ASSERT_TRUE(recordResult(directory.path(), 6000, "Next", table));
      EXPECT_EQ(entriesOf(directory.path()), std::set<std::string>{kScoreFileName});
      EXPECT_EQ(
          readBytes(file),
          bytesOf(withResult(step == ReplaceStep::Renamed ? withResult(old, 5000, "Killed") : old,
                             6000, "Next")));
    }
  }
}

TEST(KilledGame, OnlyStaleUnlockedTemporaryFilesOfTheGameAreRemoved) {
  ScratchDirectory directory("stale");
  ScoreTable table = tableIn(directory.path());
  const auto create = [&](const std::string& name, int age) {
    std::ofstream(directory.path() / name) << "x";
    if (age > 0) backdate(directory.path() / name, age);
  };
  create("pelorin.sco.0123456789abcdef.tmp", 2 * 60);  // stale: goes
  create("pelorin.sco.fedcba9876543210.tmp", 10);      // another game may be writing it
  create("pelorin.sco.0000000000000001.tmp", 2 * 60);  // stale but locked: stays
  create("pelorin.sco.backup", 2 * 60);                // not the game's
  create("notes.tmp", 2 * 60);
  const int held = open((directory.path() / "pelorin.sco.0000000000000001.tmp").c_str(), O_RDONLY);
  ASSERT_EQ(flock(held, LOCK_EX), 0);
  ASSERT_TRUE(recordResult(directory.path(), 5000, "Player", table));
  close(held);
  EXPECT_EQ(entriesOf(directory.path()),
            (std::set<std::string>{kScoreFileName, "pelorin.sco.fedcba9876543210.tmp",
                                   "pelorin.sco.0000000000000001.tmp", "pelorin.sco.backup",
                                   "notes.tmp"}));
}

TEST(SharedScoreFile, ModeOfTheOldFileIsKept) {
  ScratchDirectory directory("mode");
  const fs::path file = directory.path() / kScoreFileName;
  ScoreTable table = tableIn(directory.path());
  fs::permissions(file, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  for (const bool unnamed : {true, false}) {
    useUnnamedTemporaryFiles(unnamed);
    ASSERT_TRUE(recordResult(directory.path(), 5000, "Player", table));
    EXPECT_EQ(fs::status(file).permissions(),
              fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
  }
  useUnnamedTemporaryFiles(true);
}

TEST(LinkedScoreFile, TheTargetIsReplacedAndTheLinkStaysALink) {
  ScratchDirectory root("linked");
  const fs::path game = root.path() / "game";
  const fs::path elsewhere = root.path() / "elsewhere";
  fs::create_directories(game);
  fs::create_directories(elsewhere);
  ScoreTable table = defaultScoreTable();
  setName(table, 3, "Kept");
  std::ofstream(elsewhere / "table.bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(encodeScores(table).data()), kScoreFileSize);
  fs::create_symlink("../elsewhere/table.bin", game / kScoreFileName);

  ScoreTable shown;
  ASSERT_TRUE(readScoreFile(game, shown));
  EXPECT_EQ(shown, table);
  for (const bool unnamed : {true, false}) {
    useUnnamedTemporaryFiles(unnamed);
    ASSERT_TRUE(recordResult(game, 5000, unnamed ? "First" : "Second", shown));
  }
  useUnnamedTemporaryFiles(true);
  EXPECT_TRUE(fs::is_symlink(game / kScoreFileName));
  EXPECT_EQ(fs::read_symlink(game / kScoreFileName), "../elsewhere/table.bin");
  EXPECT_EQ(readBytes(elsewhere / "table.bin"),
            bytesOf(withResult(withResult(table, 5000, "First"), 5000, "Second")));
  EXPECT_EQ(entriesOf(game), std::set<std::string>{kScoreFileName});
  EXPECT_EQ(entriesOf(elsewhere), std::set<std::string>{"table.bin"});
}

// A game blocked in an open never returns: the alarm ends the child, and the test fails.
int withAlarm(const fs::path& directory) {
  alarm(5);
  ScoreTable table = defaultScoreTable();
  if (readScoreFile(directory, table)) return 10;
  if (recordResult(directory, 5000, "Player", table)) return 11;
  if (writeScoreFile(directory, table)) return 12;
  if (table != defaultScoreTable()) return 13;
  return 0;
}

TEST(SpecialFiles, APipeOrADeviceInTheFilesPlaceIsRefusedWithoutBlocking) {
  ScratchDirectory directory("special");
  const fs::path file = directory.path() / kScoreFileName;
  ASSERT_EQ(mkfifo(file.c_str(), 0666), 0);
  int status = runInChild([&] { return withAlarm(directory.path()); });
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  EXPECT_TRUE(fs::is_fifo(file));

  fs::remove(file);
  fs::create_symlink("/dev/zero", file);
  status = runInChild([&] { return withAlarm(directory.path()); });
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "status " << status;
  EXPECT_TRUE(fs::is_character_file(file));
}

// A line of an strace log, where it starts, and a value read from it.
struct TracedCall {
  std::size_t position = 0;
  std::string value;
};

// The first call of `name` whose line holds `marker`, with `read` applied to that line.
template <typename Read>
std::optional<TracedCall> findCall(const std::string& trace, const std::string& name,
                                   const std::string& marker, Read read) {
  for (std::size_t start = 0; start < trace.size();) {
    const std::size_t end = std::min(trace.find('\n', start), trace.size());
    const std::string line = trace.substr(start, end - start);
    const std::size_t call = line.find(name);
    const bool isCall = call != std::string::npos && (call == 0 || line[call - 1] == ' ');
    if (isCall && line.find(marker) != std::string::npos)
      return TracedCall{start + call, read(line.substr(call))};
    start = end + 1;
  }
  return std::nullopt;
}

// Reads what one rewrite asks of the kernel, where strace is installed and allowed to trace.
TEST(DurableRewrite, NewFileIsSyncedBeforeTheRenameAndTheDirectoryAfterIt) {
  if (std::system("command -v strace >/dev/null 2>&1") != 0) {
    GTEST_SKIP() << "strace is not installed";
  }
  ScratchDirectory directory("strace");
  tableIn(directory.path());  // the rewrite, not the creation, is traced
  const fs::path log =
      directory.path().parent_path() / (directory.path().filename().string() + ".strace");
  const std::string command = "strace -f -qq -o '" + log.string() +
                              "' -e trace=openat,fsync,fdatasync,rename,renameat,renameat2 '" +
                              PELORIN_SCORE_DRIVER + "' '" + directory.path().string() +
                              "' 5000 Traced >/dev/null 2>&1";
  const int status = std::system(command.c_str());
  std::ifstream in(log);
  std::stringstream text;
  text << in.rdbuf();
  fs::remove(log);
  if (status != 0 || text.str().find("renameat") == std::string::npos) {
    GTEST_SKIP() << "strace could not trace here (status " << status << ")";
  }
  const std::string trace = text.str();
  // The directory the new file is renamed in, and the new file itself.
  const std::optional<TracedCall> rename =
      findCall(trace, "renameat", "\"pelorin.sco.", [](const std::string& line) {
        const auto open = line.find('(');
        return line.substr(open + 1, line.find(',', open) - open - 1);
      });
  ASSERT_TRUE(rename) << trace;
  const std::string& directoryFd = rename->value;
  const std::size_t renameAt = rename->position;
  const std::optional<TracedCall> create =
      findCall(trace, "openat", "O_TMPFILE",
               [](const std::string& line) { return line.substr(line.rfind("= ") + 2); });
  ASSERT_TRUE(create) << trace;
  const std::string& newFileFd = create->value;
  const auto syncNew = trace.find("fsync(" + newFileFd + ")");
  const auto syncDirectory = trace.find("fsync(" + directoryFd + ")", renameAt);
  EXPECT_NE(syncNew, std::string::npos) << trace;
  EXPECT_LT(syncNew, renameAt) << trace;
  EXPECT_NE(syncDirectory, std::string::npos) << trace;
}

}  // namespace
}  // namespace pelorin::testing
