// The built game, started as a user starts it: its own directory copied somewhere new, run
// on a virtual X display with the clock set by libfaketime, driven by synthetic clicks from
// xdotool, and checked from screenshots against the engine's own deal and turns.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "game/Board.h"
#include "game/Generator.h"
#include "game/Turn.h"
#include "tests/e2e/screen_board.h"

namespace {

using pelorin::Cell;
using pelorin::GameState;
using pelorin::Grid;
using pelorin::kCellPixels;

constexpr int kClientWidth = 402;
constexpr int kClientHeight = 201;
constexpr int kWaitMs = 10000;
// The deal reads the clock a moment after faketime starts the game: a second may pass.
constexpr std::uint32_t kSecondsOfGrace = 3;

// The buttons of the main window, as laid out, relative to its client area.
constexpr QPoint kBestScoresButton{228 + 42, 148 + 12};
constexpr QPoint kQuitButton{316 + 42, 148 + 12};

struct Command {
  int exitCode = -1;
  QString output;
};

Command run(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  Command result;
  if (!process.waitForFinished(kWaitMs)) {
    process.kill();
    process.waitForFinished();
    return result;
  }
  result.exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
  result.output = QString::fromLocal8Bit(process.readAllStandardOutput());
  return result;
}

Command xdotool(const QStringList& arguments) {
  return run(QStringLiteral(PELORIN_XDOTOOL), arguments);
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs = kWaitMs) {
  QElapsedTimer timer;
  timer.start();
  while (!condition()) {
    if (timer.elapsed() > timeoutMs) return false;
    QThread::msleep(50);
  }
  return true;
}

// The first visible window whose title matches `pattern`.
std::optional<QString> visibleWindow(const QString& pattern) {
  const Command search = xdotool({"search", "--onlyvisible", "--name", pattern});
  const QString first = search.output.section('\n', 0, 0).trimmed();
  if (search.exitCode != 0 || first.isEmpty()) return std::nullopt;
  return first;
}

const std::array<QImage, 4>& pictures() { return ballPictures(QStringLiteral(PELORIN_BALLS_DIR)); }

// The board as drawn at the top left of the client area.
std::optional<Grid> boardOnScreen(const QImage& client) {
  return boardAt(client, {0, 0}, pictures());
}

QString describe(const std::optional<Grid>& board) { return describeBoard(board); }

// One run of the game from a fresh copy of its directory, started at the given second.
class RunningGame {
 public:
  explicit RunningGame(std::uint32_t startSecond) : startSecond_(startSecond) {}

  ~RunningGame() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished();
    }
  }

  QString gameDir() const { return root_.filePath(QStringLiteral("Pelorin")); }
  QString startDir() const { return root_.path(); }
  QString scoreFile() const { return QDir(gameDir()).filePath(QStringLiteral("pelorin.sco")); }
  QProcess& process() { return process_; }

  // Copies the game and starts it from outside its directory, as a menu entry would.
  void start() {
    for (const QImage& picture : pictures()) ASSERT_EQ(picture.size(), QSize(16, 16));
    ASSERT_TRUE(root_.isValid());
    ASSERT_TRUE(QDir().mkpath(gameDir()));
    const QString executable = QDir(gameDir()).filePath(QStringLiteral("pelorin"));
    ASSERT_TRUE(QFile::copy(QStringLiteral(PELORIN_EXECUTABLE), executable));
    ASSERT_TRUE(QFile::copy(QStringLiteral(PELORIN_WEB_PAGE),
                            QDir(gameDir()).filePath(QStringLiteral("web.htm"))));

    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("QT_QPA_PLATFORM", "xcb");
    // The virtual display has no session bus; without this libdbus tries to start one for it.
    environment.insert("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    // Only the wall clock is set; Qt's timers run on the monotonic one.
    environment.insert("FAKETIME_DONT_FAKE_MONOTONIC", "1");
    // A sanitized build must accept libfaketime loaded ahead of its runtime.
    const QString sanitizer = environment.value("ASAN_OPTIONS");
    environment.insert("ASAN_OPTIONS", (sanitizer.isEmpty() ? sanitizer : sanitizer + ':') +
                                           "verify_asan_link_order=0");
    process_.setProcessEnvironment(environment);
    process_.setWorkingDirectory(startDir());
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    process_.start(QStringLiteral(PELORIN_FAKETIME),
                   {QStringLiteral("@%1").arg(startSecond_), executable});
    ASSERT_TRUE(process_.waitForStarted(kWaitMs));

    std::optional<QString> window;
    ASSERT_TRUE(waitUntil([&] { return (window = visibleWindow("^Pelorin 1\\.01")).has_value(); }))
        << "the main window did not appear";
    const Command geometry = xdotool({"getwindowgeometry", "--shell", *window});
    ASSERT_EQ(geometry.exitCode, 0);
    for (const QString& line : geometry.output.split('\n')) {
      if (line.startsWith("X=")) origin_.setX(line.mid(2).toInt());
      if (line.startsWith("Y=")) origin_.setY(line.mid(2).toInt());
    }
  }

  // The client area of the main window as it is on the screen now.
  QImage client() const {
    const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
    return screen.copy(origin_.x(), origin_.y(), kClientWidth, kClientHeight)
        .convertToFormat(QImage::Format_RGB32);
  }

  // Waits for the screen to show `expected`; the last board seen otherwise.
  std::optional<Grid> waitForBoard(const Grid& expected) const {
    std::optional<Grid> seen;
    waitUntil([&] { return (seen = boardOnScreen(client())) == expected; });
    return seen;
  }

  // The second whose deal the screen shows, searched from the start second on.
  std::optional<std::uint32_t> dealtSecond() const {
    std::optional<std::uint32_t> found;
    waitUntil([&] {
      const std::optional<Grid> seen = boardOnScreen(client());
      for (std::uint32_t second = startSecond_; seen && second <= startSecond_ + kSecondsOfGrace;
           ++second) {
        GameState game;
        pelorin::dealBoard(game, second);
        if (game.board == *seen) found = second;
      }
      return found.has_value();
    });
    return found;
  }

  void click(QPoint inClient) const {
    const QPoint at = origin_ + inClient;
    EXPECT_EQ(xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"})
                  .exitCode,
              0);
  }

  void clickCell(Cell cell) const {
    click({cell.x * kCellPixels + kCellPixels / 2, cell.y * kCellPixels + kCellPixels / 2});
  }

  bool waitForExit() { return process_.waitForFinished(kWaitMs); }

 private:
  std::uint32_t startSecond_;
  QTemporaryDir root_;
  QProcess process_;
  QPoint origin_;
};

void expectCleanQuit(RunningGame& game) {
  game.click(kQuitButton);
  ASSERT_TRUE(game.waitForExit()) << "\"Konec\" did not end the game";
  EXPECT_EQ(game.process().exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(game.process().exitCode(), 0);
}

class EndToEnd : public ::testing::TestWithParam<std::uint32_t> {};

TEST_P(EndToEnd, ShowsTheDealOfTheSecondItStartedInAndQuitsOnKonec) {
  RunningGame game(GetParam());
  ASSERT_NO_FATAL_FAILURE(game.start());

  const std::optional<std::uint32_t> second = game.dealtSecond();
  ASSERT_TRUE(second.has_value()) << "the screen shows no deal of the seconds from " << GetParam()
                                  << ":\n"
                                  << describe(boardOnScreen(game.client())).toStdString();
  RecordProperty("dealt_second", std::to_string(*second));

  expectCleanQuit(game);
  EXPECT_FALSE(QFile::exists(game.scoreFile())) << "nothing is written at exit";
}

INSTANTIATE_TEST_SUITE_P(StartSeconds, EndToEnd, ::testing::Values(1700000000u, 1234567890u));

TEST(EndToEndSession, RemovesClickedGroupsAndKeepsScoresBesideTheExecutable) {
  RunningGame game(1700000000u);
  ASSERT_NO_FATAL_FAILURE(game.start());
  const std::optional<std::uint32_t> second = game.dealtSecond();
  ASSERT_TRUE(second.has_value());

  GameState expected;
  pelorin::newGame(expected, *second);
  for (int turn = 0; turn < 3; ++turn) {
    const std::optional<Cell> cell = biggestGroup(expected, false);
    ASSERT_TRUE(cell.has_value());
    pelorin::playTurn(expected, *cell);
    game.clickCell(*cell);
    const std::optional<Grid> seen = game.waitForBoard(expected.board);
    ASSERT_EQ(describe(seen).toStdString(), describe(expected.board).toStdString())
        << "after a click on (" << cell->x << ", " << cell->y << ")";
  }
  ASSERT_GT(expected.score, 0);
  if (const QByteArray path = qgetenv("PELORIN_E2E_SCREENSHOT"); !path.isEmpty()) {
    game.client().save(QString::fromLocal8Bit(path));
  }

  ASSERT_FALSE(QFile::exists(game.scoreFile()));
  game.click(kBestScoresButton);
  EXPECT_TRUE(waitUntil([&] { return QFileInfo(game.scoreFile()).size() == 220; }))
      << "no score file beside the executable";
  EXPECT_FALSE(QFile::exists(QDir(game.startDir()).filePath(QStringLiteral("pelorin.sco"))));

  std::optional<QString> table;
  ASSERT_TRUE(waitUntil([&] { return (table = visibleWindow("^Tabulka")).has_value(); }))
      << "the score table did not open";
  xdotool({"windowfocus", *table});
  xdotool({"key", "Escape"});
  EXPECT_TRUE(waitUntil([] { return !visibleWindow("^Tabulka").has_value(); }))
      << "the score table did not close";

  expectCleanQuit(game);
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "xcb");  // grabs the virtual display the game runs on
  QGuiApplication application(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
