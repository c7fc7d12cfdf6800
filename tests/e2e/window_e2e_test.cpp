// The built game, started as a user starts it: its own directory copied somewhere new, run
// on a virtual X display with the clock set by libfaketime, driven by synthetic clicks from
// xdotool, and checked from screenshots against the engine's own deal and turns.
#include <gtest/gtest.h>

#include <QColorSpace>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QtEndian>
#include <QtMath>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "game/Board.h"
#include "game/Generator.h"
#include "game/Turn.h"
#include "tests/e2e/process_driver.h"
#include "tests/e2e/screen_board.h"

namespace {

using pelorin::Cell;
using pelorin::GameState;
using pelorin::Grid;
using pelorin::kCellPixels;
using pelorin::kColumns;
using pelorin::kRows;

constexpr int kClientWidth = 402;
constexpr int kClientHeight = 201;
constexpr int kWaitMs = 10000;
// The deal reads the clock a moment after faketime starts the game: a second may pass.
constexpr std::uint32_t kSecondsOfGrace = 3;

// The buttons of the main window, as laid out, relative to its client area.
constexpr QPoint kNewGameButton{140 + 42, 148 + 12};
constexpr QPoint kBestScoresButton{228 + 42, 148 + 12};
constexpr QPoint kQuitButton{316 + 42, 148 + 12};

Command run(const QString& program, const QStringList& arguments) {
  return runCommand(program, arguments, kWaitMs);
}

Command xdotool(const QStringList& arguments) {
  return run(QStringLiteral(PELORIN_XDOTOOL), arguments);
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs = kWaitMs) {
  return ::waitUntil(condition, timeoutMs);
}

// The first visible window whose title matches `pattern`.
std::optional<QString> visibleWindow(const QString& pattern) {
  return firstWindowFound(xdotool({"search", "--onlyvisible", "--name", pattern}));
}

const std::array<QImage, 4>& pictures() { return ballPictures(QStringLiteral(PELORIN_BALLS_DIR)); }

// The board as drawn at the top left of the client area.
std::optional<Grid> boardOnScreen(const QImage& client) {
  return boardAt(client, {0, 0}, pictures());
}

QString describe(const std::optional<Grid>& board) { return describeBoard(board); }

// A window's client area in root coordinates (xdotool misreads it under a reparenting
// window manager).
std::optional<QRect> clientRect(const QString& window) {
  const Command info = run(QStringLiteral(PELORIN_XWININFO), {"-id", window});
  if (info.exitCode != 0) return std::nullopt;
  auto field = [&](const QString& name) {
    for (const QString& line : info.output.split('\n'))
      if (line.trimmed().startsWith(name)) return line.section(':', 1).trimmed().toInt();
    return 0;
  };
  return QRect(field("Absolute upper-left X"), field("Absolute upper-left Y"), field("Width"),
               field("Height"));
}

// The frame that the window manager put around a window: left, right, top, bottom.
QMargins frameExtents(const QString& window) {
  const Command property =
      run(QStringLiteral(PELORIN_XPROP), {"-id", window, "_NET_FRAME_EXTENTS"});
  const QString values = property.output.section('=', 1).trimmed();
  const QStringList parts = values.split(',');
  if (parts.size() != 4) return {};
  return {parts[0].trimmed().toInt(), parts[2].trimmed().toInt(), parts[1].trimmed().toInt(),
          parts[3].trimmed().toInt()};
}

// The frame's centre, doubled to stay in whole numbers.
std::optional<QPoint> doubledFrameCentre(const QString& window) {
  const std::optional<QRect> client = clientRect(window);
  if (!client) return std::nullopt;
  const QRect frame = client->marginsAdded(frameExtents(window));
  return QPoint(2 * frame.x() + frame.width(), 2 * frame.y() + frame.height());
}

QImage screenArea(const QRect& area) {
  return QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(area).convertToFormat(
      QImage::Format_RGB32);
}

// Whether a dialog's client area on the screen shows it painted: more than one colour, most of
// it the dialog's own background. An unpainted window shows black, or whatever lay beneath it.
bool showsPaintedDialog(const QImage& client) {
  const QRgb background = QGuiApplication::palette().color(QPalette::Window).rgb();
  qint64 backgroundPixels = 0;
  bool oneColour = true;
  for (int y = 0; y < client.height(); ++y)
    for (int x = 0; x < client.width(); ++x) {
      const QRgb pixel = client.pixel(x, y);
      backgroundPixels += (pixel == background);
      oneColour = oneColour && pixel == client.pixel(0, 0);
    }
  return !oneColour && 2 * backgroundPixels > qint64(client.width()) * client.height();
}

// The whole screen as xwd saves it. xwd reads each colormap's windows through the first window of
// that colormap, so a window lying inside another of the same colormap can come out black.
QImage xwdScreenshot() {
  QProcess xwd;
  xwd.start(QStringLiteral(PELORIN_XWD), {"-root", "-silent"});
  if (!xwd.waitForFinished(kWaitMs)) return {};
  const QByteArray file = xwd.readAllStandardOutput();
  // The header's fields are big-endian 32-bit words; the pixels follow it and its colours, in
  // the server's byte order (here least significant first), three or four bytes each.
  const auto field = [&](int index) {
    return qFromBigEndian<quint32>(file.constData() + 4 * index);
  };
  if (file.size() < 100 || (field(11) != 24 && field(11) != 32)) return {};
  const qsizetype pixelsAt = field(0) + 12 * qsizetype(field(19));
  const int width = int(field(4)), height = int(field(5)), bytesPerLine = int(field(12));
  if (file.size() < pixelsAt + qsizetype(bytesPerLine) * height) return {};
  return QImage(reinterpret_cast<const uchar*>(file.constData() + pixelsAt), width, height,
                bytesPerLine, field(11) == 24 ? QImage::Format_BGR888 : QImage::Format_RGB32)
      .copy();
}

bool dialogPaintedOnScreen(const QString& window) {
  const std::optional<QRect> client = clientRect(window);
  return client && !client->isEmpty() && showsPaintedDialog(screenArea(*client));
}

// Milliseconds from a window's appearing until the screen shows it painted.
std::optional<qint64> msUntilPainted(const QString& window) {
  QElapsedTimer timer;
  timer.start();
  if (!waitUntil([&] { return dialogPaintedOnScreen(window); })) return std::nullopt;
  return timer.elapsed();
}

// One run of the game from a fresh copy of its directory, started at the given second.
class RunningGame {
 public:
  explicit RunningGame(std::uint32_t startSecond, QStringList environment = {},
                       QByteArray scoreFile = {})
      : startSecond_(startSecond), extraEnvironment_(environment), scoreBytes_(scoreFile) {
    for (const QString& setting : environment)
      if (setting.startsWith("QT_SCALE_FACTOR=")) scale_ = setting.section('=', 1).toDouble();
  }

  ~RunningGame() {
    if (process_.state() != QProcess::NotRunning) {
      process_.kill();
      process_.waitForFinished();
    }
  }

  QString gameDir() const { return root_.filePath(QStringLiteral("Pelorin")); }
  QString startDir() const { return root_.path(); }
  QString scoreFile() const { return QDir(gameDir()).filePath(QStringLiteral("pelorin.sco")); }
  QString stateDir() const { return root_.filePath(QStringLiteral("state")); }
  QProcess& process() { return process_; }
  // Started by start() in a folder the player may read but not write, as a system-wide install
  // leaves it, with $XDG_STATE_HOME in stateDir().
  void closeItsFolder() { closed_ = true; }

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
    // "NAME=value" sets a variable, a bare "NAME" removes it.
    for (const QString& setting : extraEnvironment_) {
      if (setting.contains('='))
        environment.insert(setting.section('=', 0, 0), setting.section('=', 1));
      else
        environment.remove(setting);
    }
    QString program = QStringLiteral(PELORIN_FAKETIME);
    QStringList arguments{QStringLiteral("@%1").arg(startSecond_), executable};
    if (closed_) {
      ASSERT_NO_FATAL_FAILURE(closeTheFolder(environment, program, arguments));
    }
    process_.setProcessEnvironment(environment);
    if (!scoreBytes_.isEmpty()) {
      QFile file(scoreFile());
      ASSERT_TRUE(file.open(QIODevice::WriteOnly));
      file.write(scoreBytes_);
    }
    process_.setWorkingDirectory(startDir());
    process_.setProcessChannelMode(QProcess::ForwardedChannels);
    process_.start(program, arguments);
    ASSERT_TRUE(process_.waitForStarted(kWaitMs));
    running_.start();

    ASSERT_TRUE(waitUntil([&] { return (window_ = visibleWindow("^Pelorin 1\\.01")).has_value(); }))
        << "the main window did not appear";
    appeared_.start();
    ASSERT_NO_FATAL_FAILURE(locate());
  }

  // Where the client area stands now (a window manager may move it after it appears).
  void locate() {
    const std::optional<QRect> client = clientRect(*window_);
    ASSERT_TRUE(client.has_value());
    origin_ = client->topLeft();
  }
  QString window() const { return *window_; }
  qint64 msSinceAppearing() const { return appeared_.elapsed(); }
  QPoint origin() const { return origin_; }

  // The client area of the main window as it is on the screen now, one pixel per logical
  // pixel: at a scale above 1 each is read from the first device pixel that shows it.
  QImage client() const {
    const QImage device = screenArea(
        QRect(origin_, QSize(qCeil(kClientWidth * scale_), qCeil(kClientHeight * scale_))));
    if (scale_ == 1) return device;
    QImage logical(kClientWidth, kClientHeight, QImage::Format_RGB32);
    for (int y = 0; y < kClientHeight; ++y)
      for (int x = 0; x < kClientWidth; ++x)
        logical.setPixel(x, y, device.pixel(qCeil(x * scale_), qCeil(y * scale_)));
    return logical;
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
      found = secondDealing(seen);
      return found.has_value();
    });
    return found;
  }

  // The second, from the start second on, whose deal `board` is.
  std::optional<std::uint32_t> secondDealing(const std::optional<Grid>& board) const {
    // The clock runs on from the start second: a later deal reads a later second.
    const auto latest =
        startSecond_ + static_cast<std::uint32_t>(running_.elapsed() / 1000) + kSecondsOfGrace;
    for (std::uint32_t second = startSecond_; board && second <= latest; ++second) {
      GameState game;
      pelorin::dealBoard(game, second);
      if (game.board == *board) return second;
    }
    return std::nullopt;
  }

  void click(QPoint inClient) const {
    const QPoint at =
        origin_ + QPoint(qFloor(inClient.x() * scale_), qFloor(inClient.y() * scale_));
    EXPECT_EQ(xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"})
                  .exitCode,
              0);
  }

  // A release on a device pixel of the client area.
  void clickDevicePixel(QPoint device) const {
    const QPoint at = origin_ + device;
    EXPECT_EQ(xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"})
                  .exitCode,
              0);
  }
  double scale() const { return scale_; }

  void clickCell(Cell cell) const {
    click({cell.x * kCellPixels + kCellPixels / 2, cell.y * kCellPixels + kCellPixels / 2});
  }

  bool waitForExit() { return process_.waitForFinished(kWaitMs); }

 private:
  // Root may write anywhere: a test run as root plays the player as "nobody", who reaches the
  // display through a copy of its authority file.
  void closeTheFolder(QProcessEnvironment& environment, QString& program, QStringList& arguments) {
    constexpr auto kReadAndEnter = QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                   QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther;
    ASSERT_TRUE(QDir().mkpath(stateDir()));
    environment.insert("XDG_STATE_HOME", stateDir());
    environment.insert("HOME", stateDir());
    ASSERT_TRUE(QFile::setPermissions(gameDir(), kReadAndEnter));
    if (::geteuid() != 0) return;
    constexpr uid_t kNobody = 65534;
    ASSERT_TRUE(QFile::setPermissions(root_.path(), kReadAndEnter | QFile::WriteOwner));
    ASSERT_EQ(::chown(QFile::encodeName(stateDir()).constData(), kNobody, kNobody), 0);
    const QString authority = root_.filePath(QStringLiteral("Xauthority"));
    if (QFile::copy(qEnvironmentVariable("XAUTHORITY"), authority)) {
      QFile::setPermissions(authority, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther);
      environment.insert("XAUTHORITY", authority);
    }
    arguments = QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", program} + arguments;
    program = QStringLiteral("setpriv");
  }

  bool closed_ = false;
  std::uint32_t startSecond_;
  QStringList extraEnvironment_;
  double scale_ = 1;
  QByteArray scoreBytes_;
  std::optional<QString> window_;
  QElapsedTimer appeared_;
  QElapsedTimer running_;
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

// The score table's client area once the screen shows it steadily; the window is closed again.
QImage shownTable(const RunningGame& game) {
  game.click(kBestScoresButton);
  std::optional<QString> table;
  if (!waitUntil([&] { return (table = visibleWindow("^Tabulka")).has_value(); })) return {};
  QImage shown;
  waitUntil([&] {
    const std::optional<QRect> client = clientRect(*table);
    const QImage now = client ? screenArea(*client) : QImage();
    const bool steady = !now.isNull() && now == shown && showsPaintedDialog(now);
    shown = now;
    return steady;
  });
  xdotool({"windowfocus", *table});
  xdotool({"key", "Escape"});
  EXPECT_TRUE(waitUntil([] { return !visibleWindow("^Tabulka").has_value(); }));
  return shown;
}

TEST(EndToEndSession, APlayerWhoCannotWriteTheFolderSeesTheDefaultTableAndNothingIsWritten) {
  RunningGame creating(1700000000u);
  ASSERT_NO_FATAL_FAILURE(creating.start());
  const QImage defaults = shownTable(creating);
  ASSERT_FALSE(defaults.isNull()) << "the score table did not open";
  ASSERT_EQ(QFileInfo(creating.scoreFile()).size(), 220) << "the default table was not created";
  expectCleanQuit(creating);

  RunningGame game(1700000000u);
  game.closeItsFolder();
  ASSERT_NO_FATAL_FAILURE(game.start());
  const QImage seen = shownTable(game);
  ASSERT_FALSE(seen.isNull()) << "the score table did not open";
  EXPECT_TRUE(seen == defaults) << "the screen does not show the default table";
  EXPECT_FALSE(QFile::exists(game.scoreFile()));
  EXPECT_TRUE(QDir(game.stateDir()).isEmpty()) << "nothing is stored before a result";
  expectCleanQuit(game);
}

// openbox on the test's display for as long as it lives, or nothing where it is missing.
class WindowManager {
 public:
  bool start() {
    const QString program = QStringLiteral(PELORIN_OPENBOX);
    if (program.isEmpty() || program.endsWith("-NOTFOUND")) return false;
    process_ = std::make_unique<QProcess>();
    process_->start(program, {});
    if (!process_->waitForStarted(kWaitMs)) return false;
    // openbox names itself early and publishes the work area once it has started up.
    return waitUntil([] {
      return run(QStringLiteral(PELORIN_XPROP), {"-root", "_NET_WORKAREA"}).output.contains(" = ");
    });
  }
  ~WindowManager() {
    if (process_) {
      process_->terminate();
      if (!process_->waitForFinished(kWaitMs)) process_->kill();
    }
  }

 private:
  std::unique_ptr<QProcess> process_;
};

// Waits until the window's frame stands centred on the screen within a pixel (at once, with no
// wait).
testing::AssertionResult frameCentred(const QString& window, int waitMs = 3000) {
  const QSize screen = QGuiApplication::primaryScreen()->size();
  std::optional<QPoint> centre;
  const bool centred = waitUntil(
      [&] {
        centre = doubledFrameCentre(window);
        return centre && std::abs(centre->x() - screen.width()) <= 2 &&
               std::abs(centre->y() - screen.height()) <= 2;
      },
      waitMs);
  if (centred) return testing::AssertionSuccess();
  if (!centre) return testing::AssertionFailure() << "the window has no geometry";
  return testing::AssertionFailure()
         << "the frame's centre is at (" << centre->x() / 2.0 << ", " << centre->y() / 2.0 << ")";
}

// Waits for a window titled by `pattern` and checks, from the screen, that it paints within a
// second, centred (when `centred`) as it first shows, and that it stays painted and in its
// place; reports how long the paint took.
void expectPaintedAtOnce(const QString& pattern, const std::string& name, bool centred) {
  std::optional<QString> window;
  ASSERT_TRUE(waitUntil([&] { return (window = visibleWindow(pattern)).has_value(); }))
      << name << " did not appear";
  const std::optional<qint64> ms = msUntilPainted(*window);
  ASSERT_TRUE(ms.has_value()) << name << " does not show painted on the screen";
  EXPECT_LE(*ms, 1000) << name << " painted only after " << *ms << " ms";
  const std::optional<QRect> paintedAt = clientRect(*window);
  if (centred) {
    EXPECT_TRUE(frameCentred(*window, 0)) << name << " as it first showed";
  }
  // A player looks for longer than the first moment: the window must stay as it showed.
  const bool stays = waitUntil(
      [&] { return !dialogPaintedOnScreen(*window) || clientRect(*window) != paintedAt; }, 1500);
  EXPECT_FALSE(stays) << name << " did not stay painted in its place";
  if (paintedAt) {
    EXPECT_TRUE(showsPaintedDialog(xwdScreenshot().copy(*paintedAt)))
        << name << " shows black in a screenshot taken with xwd";
  }
  ::testing::Test::RecordProperty(name + "_first_paint_ms", std::to_string(*ms));
  std::printf("%s painted %lld ms after appearing\n", name.c_str(), static_cast<long long>(*ms));
  xdotool({"windowfocus", *window});
}

void closeTable() {
  xdotool({"key", "Escape"});
  ASSERT_TRUE(waitUntil([] { return !visibleWindow("^Tabulka").has_value(); }))
      << "the score table did not close";
}

// Without and with a window manager, at scales 1 and 2: the table through "Nejlepší skóre" on its
// first and second showing, then a game played to its end, biggest group first, through the name
// dialog (a table of zeros: every result makes it) to the table once more.
class EndToEndPaint : public ::testing::TestWithParam<std::tuple<bool, int>> {};

TEST_P(EndToEndPaint, EveryWindowPaintsAtOnceCentredByEveryRoute) {
  WindowManager manager;
  const auto [withManager, scale] = GetParam();
  if (withManager && !manager.start()) GTEST_SKIP() << "openbox is not installed";
  RunningGame game(1700000000u, {QStringLiteral("QT_SCALE_FACTOR=%1").arg(scale)},
                   QByteArray(220, '\0'));
  ASSERT_NO_FATAL_FAILURE(game.start());
  const std::optional<std::uint32_t> second = game.dealtSecond();
  ASSERT_TRUE(second.has_value());
  const qint64 mainMs = game.msSinceAppearing();
  EXPECT_LE(mainMs, 1000) << "the main window showed its board only after " << mainMs << " ms";
  ::testing::Test::RecordProperty("main_first_paint_ms", std::to_string(mainMs));
  std::printf("main window showed its deal %lld ms after appearing\n",
              static_cast<long long>(mainMs));
  EXPECT_TRUE(frameCentred(game.window())) << "the main window";
  if (withManager) {
    EXPECT_GT(frameExtents(game.window()).top(), 0) << "no frame from openbox";
  }
  ASSERT_NO_FATAL_FAILURE(game.locate());

  for (const char* showing : {"first", "second"}) {
    game.click(kBestScoresButton);
    ASSERT_NO_FATAL_FAILURE(
        expectPaintedAtOnce("^Tabulka", std::string("score_table_button_") + showing, true));
    ASSERT_NO_FATAL_FAILURE(closeTable());
  }

  GameState expected;
  pelorin::newGame(expected, *second);
  for (int turn = 0; turn < 225; ++turn) {
    std::optional<Cell> best;
    int bestSize = 1;
    for (int y = 0; y < kRows; ++y)
      for (int x = 0; x < kColumns; ++x) {
        GameState trial = expected;
        const int size = pelorin::playTurn(trial, {x, y}).groupSize;
        if (size > bestSize) best = Cell{x, y}, bestSize = size;
      }
    ASSERT_TRUE(best.has_value());
    const bool over = pelorin::playTurn(expected, *best).gameOver;
    game.clickCell(*best);
    if (over) break;
    ASSERT_EQ(game.waitForBoard(expected.board), expected.board) << "turn " << turn;
  }
  ASSERT_NO_FATAL_FAILURE(expectPaintedAtOnce("^Gratulujeme", "name_dialog_game_end", false));
  xdotool({"key", "Return"});
  ASSERT_NO_FATAL_FAILURE(expectPaintedAtOnce("^Tabulka", "score_table_game_end", true));
  ASSERT_NO_FATAL_FAILURE(closeTable());
  EXPECT_EQ(describe(game.waitForBoard(expected.board)).toStdString(),
            describe(expected.board).toStdString())
      << "the board after the table";
  expectCleanQuit(game);
}

INSTANTIATE_TEST_SUITE_P(WithAndWithoutWindowManagerAtScales, EndToEndPaint,
                         ::testing::Combine(::testing::Bool(), ::testing::Values(1, 2)),
                         [](const auto& param) {
                           return (std::get<0>(param.param) ? "openbox_x" : "none_x") +
                                  std::to_string(std::get<1>(param.param));
                         });

// The compositor's picture of its whole output, taken with weston-screenshooter (the compositor
// runs with --debug, which lets it take one).
QImage compositorScreenshot() {
  QTemporaryDir directory;
  QProcess screenshooter;
  screenshooter.setWorkingDirectory(directory.path());
  screenshooter.start(QStringLiteral(PELORIN_WESTON_SCREENSHOOTER), {});
  if (!screenshooter.waitForFinished(kWaitMs)) return {};
  const QStringList shots = QDir(directory.path()).entryList({"wayland-screenshot*.png"});
  if (shots.isEmpty()) return {};
  QImage shot = QImage(directory.filePath(shots.first())).convertToFormat(QImage::Format_RGB32);
  shot.setColorSpace(QColorSpace());  // pixels as stored, comparable with the ball pictures
  return shot;
}

// The widths of the runs of ink in the band of `image` between rows `top` and `bottom` and
// columns `left` and `right`: columns with a pixel far from the band's commonest grey, runs
// closer than `gap` columns counted as one, so that the words of a line of text make one run.
std::vector<int> inkRuns(const QImage& image, QRect band, int gap) {
  band = band.intersected(image.rect());
  std::array<int, 256> greys{};
  for (int y = band.top(); y <= band.bottom(); ++y)
    for (int x = band.left(); x <= band.right(); ++x) ++greys[qGray(image.pixel(x, y))];
  const auto background = std::max_element(greys.begin(), greys.end()) - greys.begin();
  std::vector<int> runs;
  int runStart = -1;
  int lastInk = 0;
  for (int x = band.left(); x <= band.right(); ++x) {
    bool ink = false;
    for (int y = band.top(); y <= band.bottom() && !ink; ++y)
      ink = std::abs(qGray(image.pixel(x, y)) - background) > 60;
    if (!ink) continue;
    if (runStart >= 0 && x - lastInk > gap) runs.push_back(lastInk - runStart + 1);
    if (runStart < 0 || x - lastInk > gap) runStart = x;
    lastInk = x;
  }
  if (runStart >= 0) runs.push_back(lastInk - runStart + 1);
  return runs;
}

// Whether `shown` holds the runs of `whole` one after another, all at one scale: a title bar
// that cuts or elides the text loses or narrows its last words.
bool holdsRuns(const std::vector<int>& shown, const std::vector<int>& whole) {
  for (std::size_t start = 0; !whole.empty() && start + whole.size() <= shown.size(); ++start) {
    const double scale = double(shown[start]) / whole[0];
    bool all = true;
    for (std::size_t i = 1; i < whole.size() && all; ++i)
      all = std::abs(shown[start + i] - whole[i] * scale) <= 0.15 * whole[i] * scale + 1;
    if (all) return true;
  }
  return false;
}

std::string listed(const std::vector<int>& widths) {
  std::string text;
  for (const int width : widths) text += std::to_string(width) + ' ';
  return text;
}

// Under a Wayland compositor with XWayland (tests/e2e/under_weston.sh), with Qt's Wayland
// platform installed: the game asks for X11, so the compositor frames it, and its board and
// whole title show in the compositor's own picture. The board is searched for in that picture:
// where XWayland says the window stands need not be where the compositor shows it. (XWayland
// lets no client move the pointer, so nothing is clicked here.)
TEST(UnderWayland, BoardPaintsAndTheWholeTitleShows) {
  if (qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) GTEST_SKIP() << "not under Wayland";
  RunningGame game(1700000000u, {QStringLiteral("QT_QPA_PLATFORM")});
  ASSERT_NO_FATAL_FAILURE(game.start()) << "no X11 window: the game did not ask for XWayland";
  QImage shot;
  std::optional<QPoint> client;
  ASSERT_TRUE(waitUntil([&] {
    shot = compositorScreenshot();
    client = findFullBoard(shot, pictures());
    return client && game.secondDealing(boardAt(shot, *client, pictures())).has_value();
  })) << "the compositor does not show a deal"
      << (client ? ":\n" + describe(boardAt(shot, *client, pictures())).toStdString() : "");

  // The title as the compositor's bold sans-serif face sets it, against the words it shows.
  QFont face(QStringLiteral("sans"));
  face.setBold(true);
  face.setPixelSize(14);
  const QString title = QStringLiteral("Pelorin 1.01 © 2026 Quillon Dynamics");
  QImage rendered(QFontMetrics(face).horizontalAdvance(title) + 20, 30, QImage::Format_RGB32);
  rendered.fill(Qt::white);
  QPainter painter(&rendered);
  painter.setFont(face);
  painter.setPen(Qt::black);
  painter.drawText(10, 20, title);
  painter.end();
  // Words lie more than 4 columns apart, the letters of a word less.
  const std::vector<int> whole = inkRuns(rendered, rendered.rect(), 4);
  const std::vector<int> shown =
      inkRuns(shot, QRect(client->x(), client->y() - 24, kClientWidth, 22), 4);
  std::printf("title bar runs: %s; the whole title's words: %s\n", listed(shown).c_str(),
              listed(whole).c_str());
  EXPECT_TRUE(holdsRuns(shown, whole)) << "the title bar does not show the whole title";
}

// A scale, and whether the releases go to the last (0) or the first (1) device pixel of a cell.
class ScaledReleases : public ::testing::TestWithParam<std::tuple<double, int>> {};

TEST_P(ScaledReleases, FirstOrLastDevicePixelOfACellPlaysThatCell) {
  const auto [scale, edge] = GetParam();
  RunningGame game(1700000000u, {QStringLiteral("QT_SCALE_FACTOR=%1").arg(scale)});
  ASSERT_NO_FATAL_FAILURE(game.start());
  const std::optional<std::uint32_t> second = game.dealtSecond();
  ASSERT_TRUE(second.has_value()) << describe(boardOnScreen(game.client())).toStdString();
  GameState expected;
  pelorin::newGame(expected, *second);

  const EdgeReleases done = playEdgeReleases(expected, scale, edge == 1, [&](QPoint device) {
    game.clickDevicePixel(device);
    return describe(game.waitForBoard(expected.board)) == describe(expected.board);
  });
  ASSERT_EQ(done.failure, "");
  EXPECT_EQ(done.rows, kRows);
  EXPECT_GE(done.columns, kColumns - 1) << "too few columns could be tried";
  expectCleanQuit(game);
}

INSTANTIATE_TEST_SUITE_P(Scales, ScaledReleases,
                         ::testing::Combine(::testing::Values(2.0, 1.5, 1.25),
                                            ::testing::Values(0, 1)),
                         [](const auto& param) {
                           return "x" +
                                  std::to_string(static_cast<int>(std::get<0>(param.param) * 100)) +
                                  (std::get<1>(param.param) == 0 ? "_last" : "_first");
                         });

}  // namespace
