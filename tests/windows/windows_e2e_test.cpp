// The Windows package played as a player plays it: the zip unpacked into a directory with Czech
// letters in its path, pelorin.exe started under Wine on a virtual X display with the clock set
// by libfaketime (which reaches Wine's processes), driven by xdotool and checked from
// screenshots against the engine's own deal and turns, and its score file against the bytes
// this machine's score logic writes for the same game and name.
#include <gtest/gtest.h>
#include <iconv.h>

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QProcess>
#include <QScreen>
#include <QTemporaryDir>
#include <QThread>
#include <QtMath>
#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "game/Board.h"
#include "game/Generator.h"
#include "game/Turn.h"
#include "scores/rules/RecordScore.h"
#include "scores/rules/ScoreFormat.h"
#include "scores/rules/ScoreTable.h"
#include "tests/e2e/process_driver.h"
#include "tests/e2e/screen_board.h"

namespace {

using pelorin::Cell;
using pelorin::GameState;
using pelorin::Grid;
using pelorin::kCellPixels;
using pelorin::kColumns;
using pelorin::kRows;

constexpr int kWaitMs = 20000;
// A window black on the screen this long after it appeared stays so.
constexpr int kPaintMs = 3000;
constexpr int kPlayersPauseMs = 3000;
constexpr std::uint32_t kStartSecond = 1700000000u;
// The deal reads the clock once Wine has started the game: seconds may pass before.
constexpr std::uint32_t kSecondsOfGrace = 30;

// Positions in the main window's client area, as laid out.
constexpr QSize kMainClient{402, 201};
constexpr QPoint kNewGameButton{140 + 42, 148 + 12};
constexpr QPoint kBestScoresButton{228 + 42, 148 + 12};
constexpr QPoint kQuitButton{316 + 42, 148 + 12};
// The middle of the link as laid out: a wider face moves it right by a few pixels.
constexpr QPoint kHomePageLink{124 + 52, 176 + 6 + 6};
constexpr char kHomePageAddress[] = "https://www.quillon.example";
constexpr char kPlayerName[] = "Kůň";

QString setting(const char* name) {
  const QString value = qEnvironmentVariable(name);
  if (value.isEmpty()) ADD_FAILURE() << name << " is not set";
  return value;
}

// Wine reads names from its command line in the locale's encoding: UTF-8 here.
QProcessEnvironment wineEnvironment() {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("WINEPREFIX", setting("PELORIN_WINE_PREFIX"));
  environment.insert("WINEDEBUG", "-all");
  environment.insert("WINEDLLOVERRIDES", "mscoree,mshtml=");
  environment.insert("LC_ALL", "C.UTF-8");
  // Nothing from the build may help the package find its DLLs or plugins.
  for (const char* name :
       {"WINEPATH", "QT_PLUGIN_PATH", "QT_QPA_PLATFORM", "QT_QPA_PLATFORM_PLUGIN_PATH"})
    environment.remove(name);
  // Only the wall clock is set: Qt's timers run on the monotonic one, and Wine decides from
  // file times whether its prefix needs updating.
  environment.insert("FAKETIME_DONT_FAKE_MONOTONIC", "1");
  environment.insert("NO_FAKE_STAT", "1");
  return environment;
}

Command run(const QString& program, const QStringList& arguments, int timeoutMs = kWaitMs) {
  return runCommand(program, arguments, timeoutMs, wineEnvironment());
}

Command wine(const QStringList& arguments) {
  return run(setting("PELORIN_WINE"), arguments, 120000);  // a new prefix takes about 20 s
}

Command xdotool(const QStringList& arguments) { return run(setting("PELORIN_XDOTOOL"), arguments); }

// Lets this program answer the X server (the clipboard it owns) for a while.
void keepAnswering(int milliseconds) {
  QElapsedTimer timer;
  timer.start();
  while (timer.elapsed() < milliseconds) {
    QCoreApplication::processEvents();
    QThread::msleep(20);
  }
}

bool waitUntil(const std::function<bool()>& condition, int timeoutMs = kWaitMs) {
  return ::waitUntil(condition, timeoutMs, 100);
}

std::optional<QString> visibleWindow(const QString& pattern) {
  return firstWindowFound(xdotool({"search", "--onlyvisible", "--name", pattern}));
}

QPoint windowPosition(const QString& window) {
  QPoint position;
  for (const QString& line : xdotool({"getwindowgeometry", "--shell", window}).output.split('\n')) {
    if (line.startsWith("X=")) position.setX(line.mid(2).toInt());
    if (line.startsWith("Y=")) position.setY(line.mid(2).toInt());
  }
  return position;
}

QString windowsPath(const QString& unixPath) {
  return "Z:" + QDir::toNativeSeparators(unixPath).replace('/', '\\');
}

const std::array<QImage, 4>& pictures() {
  return ballPictures(qEnvironmentVariable("PELORIN_BALLS_DIR"));
}

QImage screen() {
  return QGuiApplication::primaryScreen()->grabWindow(0).toImage().convertToFormat(
      QImage::Format_RGB32);
}

// A top-level window as Windows holds it: its styles and its client area on the screen.
struct NativeWindow {
  std::uint32_t style = 0;
  std::uint32_t extendedStyle = 0;
  QRect client;
};

// The visible window whose title starts with `title`, as a Windows program in the prefix reads
// it (GetWindowLongPtrW, GetClientRect).
std::optional<NativeWindow> nativeWindow(const QString& title) {
  for (const QString& line : wine({setting("PELORIN_WINDOW_STYLES")}).output.split('\n')) {
    const QStringList fields = line.trimmed().split(' ');
    if (fields.size() < 7 || !line.trimmed().section(' ', 6).startsWith(title)) continue;
    return NativeWindow{fields[0].toUInt(nullptr, 16), fields[1].toUInt(nullptr, 16),
                        QRect(fields[2].toInt(), fields[3].toInt(), fields[4].toInt(),
                              fields[5].toInt())};
  }
  return std::nullopt;
}

std::optional<NativeWindow> waitForNativeWindow(const QString& title) {
  std::optional<NativeWindow> window;
  waitUntil([&] { return (window = nativeWindow(title)).has_value(); });
  return window;
}

// The parts of a window's frame that its styles give, by name.
std::string frameOf(const NativeWindow& window) {
  const std::pair<std::uint32_t, const char*> styles[] = {
      {0x00C00000, "title bar"},     // WS_CAPTION
      {0x00080000, "system menu"},   // WS_SYSMENU
      {0x00020000, "minimise"},      // WS_MINIMIZEBOX
      {0x00010000, "maximise"},      // WS_MAXIMIZEBOX
      {0x00040000, "sizing frame"}};  // WS_THICKFRAME
  std::string parts;
  for (const auto& [bits, name] : styles)
    if ((window.style & bits) == bits) parts += std::string(parts.empty() ? "" : ", ") + name;
  if (window.extendedStyle & 0x1) parts += ", dialog frame";  // WS_EX_DLGMODALFRAME
  return parts;
}

bool isOneColour(const QImage& image) {
  for (int y = 0; y < image.height(); ++y)
    for (int x = 0; x < image.width(); ++x)
      if (image.pixel(x, y) != image.pixel(0, 0)) return false;
  return true;
}

// Expects the window titled `title` to show more than one colour in its client area on the
// screen (the root window: a grab of the window itself shows what it painted, not what the
// player sees), and its frame to be `frame`.
constexpr char kDialogFrame[] = "title bar, system menu, dialog frame";

void expectShownPainted(const QString& title, const std::string& frame) {
  const std::optional<NativeWindow> window = waitForNativeWindow(title);
  ASSERT_TRUE(window.has_value()) << "no window " << title.toStdString();
  EXPECT_EQ(frameOf(*window), frame)
      << title.toStdString() << QStringLiteral(": style %1, extended style %2")
                                    .arg(window->style, 8, 16, QChar('0'))
                                    .arg(window->extendedStyle, 8, 16, QChar('0'))
                                    .toStdString();
  EXPECT_TRUE(waitUntil([&] { return !isOneColour(screen().copy(window->client)); }, kPaintMs))
      << title.toStdString() << " shows one colour on the screen";
}

// The name in Windows-1250, by the C library's converter: an oracle independent of the game's.
std::string windows1250(const std::string& utf8) {
  iconv_t converter = iconv_open("WINDOWS-1250", "UTF-8");
  if (converter == reinterpret_cast<iconv_t>(-1)) return {};
  std::string in = utf8;
  std::string out(in.size() * 2, '\0');
  char* from = in.data();
  char* to = out.data();
  std::size_t fromLeft = in.size();
  std::size_t toLeft = out.size();
  const bool converted =
      iconv(converter, &from, &fromLeft, &to, &toLeft) != static_cast<std::size_t>(-1);
  iconv_close(converter);
  if (!converted) return {};
  out.resize(out.size() - toLeft);
  return out;
}

QByteArray readAll(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class WindowsPackage : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    for (const QImage& picture : pictures()) ASSERT_EQ(picture.size(), QSize(16, 16));
    const Command unzip =
        run(setting("PELORIN_UNZIP"), {"-q", setting("PELORIN_WINDOWS_ZIP"), "-d", root_.path()});
    ASSERT_EQ(unzip.exitCode, 0) << "cannot unpack the package";
    // The zip holds one folder named as the zip itself.
    gameDir_ = root_.filePath(QFileInfo(setting("PELORIN_WINDOWS_ZIP")).completeBaseName());
    ASSERT_TRUE(QFileInfo::exists(QDir(gameDir_).filePath("pelorin.exe")));
    ASSERT_FALSE(QFileInfo::exists(scoreFile()));
    // The prefix made (about 20 s the first time) with the fonts of a Windows machine, and
    // Wine's server running, as on a machine where Wine has been used before: the game's
    // start is then a matter of seconds.
    QProcessEnvironment environment = wineEnvironment();
    environment.insert("PELORIN_WINEPREFIX", setting("PELORIN_WINE_PREFIX"));
    ASSERT_EQ(runCommand(setting("PELORIN_WINE_RUN"), {"cmd", "/c", "exit"}, 120000, environment)
                  .exitCode,
              0);
    // The display's scale, as Windows' display settings set it.
    ASSERT_EQ(wine({"reg", "add", "HKCU\\Control Panel\\Desktop", "/v", "LogPixels", "/t",
                    "REG_DWORD", "/d", QString::number(logPixels_), "/f"})
                  .exitCode,
              0);
  }

  QString scoreFile() const { return QDir(gameDir_).filePath("pelorin.sco"); }

  // Starts the game from outside its directory, as a shortcut would, at a fixed second.
  void start() {
    game_.setProcessEnvironment(wineEnvironment());
    game_.setWorkingDirectory(root_.path());
    game_.setProcessChannelMode(QProcess::ForwardedChannels);
    game_.start(setting("PELORIN_FAKETIME"),
                {QStringLiteral("@%1").arg(kStartSecond), setting("PELORIN_WINE"),
                 QDir(gameDir_).filePath("pelorin.exe")});
    ASSERT_TRUE(game_.waitForStarted(kWaitMs));
    running_.start();
  }

  double scale() const { return logPixels_ / 96.0; }

  // The board as the screen shows it, one pixel per bitmap pixel: at a scale above 1 each is
  // read from the first device pixel that shows it.
  QImage boardPixels() const {
    const QImage shot = screen();
    QImage board(kColumns * kCellPixels, kRows * kCellPixels, QImage::Format_RGB32);
    for (int y = 0; y < board.height(); ++y)
      for (int x = 0; x < board.width(); ++x)
        board.setPixel(x, y, shot.pixel(origin_ + QPoint(qCeil(x * scale()), qCeil(y * scale()))));
    return board;
  }

  // Finds the main window's client area and there the board of one of the seconds since the
  // start: that fixes which second was dealt.
  void findDeal() {
    const std::optional<NativeWindow> window = waitForNativeWindow("Pelorin 1.01");
    ASSERT_TRUE(window.has_value()) << "the main window did not appear";
    origin_ = window->client.topLeft();
    ASSERT_TRUE(waitUntil([&] {
      const std::optional<Grid> seen = boardAt(boardPixels(), {0, 0}, pictures());
      const auto latest =
          kStartSecond + static_cast<std::uint32_t>(running_.elapsed() / 1000) + kSecondsOfGrace;
      for (std::uint32_t second = kStartSecond; seen && second <= latest; ++second) {
        pelorin::newGame(expected_, second);
        if (expected_.board == *seen) return true;
      }
      return false;
    })) << "the screen shows no deal of the seconds from "
        << kStartSecond;
  }

  void clickDevicePixel(QPoint device) const {
    const QPoint at = origin_ + device;
    EXPECT_EQ(xdotool({"mousemove", QString::number(at.x()), QString::number(at.y()), "click", "1"})
                  .exitCode,
              0);
  }

  void click(QPoint inClient) const {
    clickDevicePixel({qFloor(inClient.x() * scale()), qFloor(inClient.y() * scale())});
  }

  bool showsBoard(const Grid& board) const {
    return waitUntil([&] { return boardAt(boardPixels(), {0, 0}, pictures()) == board; });
  }

  // Plays the biggest group, on the screen and in the engine; true when the game went on.
  bool playBiggestGroup() {
    const std::optional<Cell> cell = biggestGroup(expected_, true);
    EXPECT_TRUE(cell.has_value());
    if (!cell) return false;
    const bool over = pelorin::playTurn(expected_, *cell).gameOver;
    click({cell->x * kCellPixels + kCellPixels / 2, cell->y * kCellPixels + kCellPixels / 2});
    if (over) return false;
    std::optional<Grid> seen;
    EXPECT_TRUE(waitUntil([&] {
      return (seen = boardAt(boardPixels(), {0, 0}, pictures())) == expected_.board;
    })) << "after a click on ("
        << cell->x << ", " << cell->y << ") the screen shows\n"
        << describeBoard(seen).toStdString() << "and not\n"
        << describeBoard(expected_.board).toStdString();
    return seen == expected_.board;
  }

  void closeWindow(const QString& pattern) {
    std::optional<QString> window;
    ASSERT_TRUE(waitUntil([&] { return (window = visibleWindow(pattern)).has_value(); }))
        << "no window " << pattern.toStdString();
    xdotool({"windowactivate", "--sync", *window});
    xdotool({"key", "Escape"});
    EXPECT_TRUE(waitUntil([&] { return !visibleWindow(pattern).has_value(); }))
        << pattern.toStdString() << " did not close";
  }

  void quitWithKonec() {
    click(kQuitButton);
    ASSERT_TRUE(game_.waitForFinished(kWaitMs)) << "\"Konec\" did not end the game";
    EXPECT_EQ(game_.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(game_.exitCode(), 0);
  }

  void TearDown() override {
    if (game_.state() != QProcess::NotRunning) {
      game_.kill();
      game_.waitForFinished();
    }
    wine({"wineboot", "-k"});  // ends whatever the test started in the prefix
  }

  QTemporaryDir root_{QDir::tempPath() + "/Hra Žluť kůň-XXXXXX"};
  QString gameDir_;
  QProcess game_;
  GameState expected_;
  QPoint origin_;
  QElapsedTimer running_;
  int logPixels_ = 96;
};

// The browser stand-in, copied beside the package and registered for ".htm" machine-wide:
// Wine ignores the per-user classes key.
QString registerBrowser(const QString& directory) {
  const QString program = QDir(directory).filePath("Prohlížeč.exe");
  if (!QFile::copy(setting("PELORIN_RECORD_ARGUMENTS"), program)) return {};
  const QString command = QStringLiteral("\"%1\" \"%2\"").arg(windowsPath(program), "%1");
  if (wine({"reg", "add", "HKCR\\.htm", "/ve", "/d", "PelorinTestPage", "/f"}).exitCode != 0 ||
      wine(
          {"reg", "add", "HKCR\\PelorinTestPage\\shell\\open\\command", "/ve", "/d", command, "/f"})
              .exitCode != 0)
    return {};
  return QDir(directory).filePath("arguments.txt");
}

TEST_F(WindowsPackage, ShowsTheDealOfItsSecondRemovesClickedGroupsAndQuitsOnKonec) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(findDeal());
  const std::optional<NativeWindow> window = nativeWindow("Pelorin 1.01");
  ASSERT_TRUE(window.has_value());
  EXPECT_EQ(frameOf(*window), "title bar, system menu, minimise")
      << QStringLiteral("style %1").arg(window->style, 8, 16, QChar('0')).toStdString();
  for (int turn = 0; turn < 3; ++turn) ASSERT_TRUE(playBiggestGroup());
  ASSERT_GT(expected_.score, 0);
  quitWithKonec();
  EXPECT_FALSE(QFileInfo::exists(scoreFile())) << "nothing is written at exit";
}

TEST_F(WindowsPackage, KeepsScoresBesideTheExeWithNamesInWindows1250AsOnLinux) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(findDeal());

  // Looked at a while first, as a player does: a window shown in the first second can be
  // painted where one shown later stays black.
  QThread::msleep(kPlayersPauseMs);
  click(kBestScoresButton);
  ASSERT_NO_FATAL_FAILURE(expectShownPainted("Tabulka vítězů", kDialogFrame));
  ASSERT_TRUE(waitUntil([&] { return QFileInfo(scoreFile()).size() == 220; }))
      << "no 220-byte score file beside the executable";
  EXPECT_FALSE(QFileInfo::exists(QDir(root_.path()).filePath("pelorin.sco")));
  ASSERT_NO_FATAL_FAILURE(closeWindow("^Tabulka"));

  // A whole game; its result makes the table of the default scores.
  while (playBiggestGroup()) {
  }
  std::optional<QString> dialog;
  ASSERT_TRUE(waitUntil([&] { return (dialog = visibleWindow("^Gratulujeme")).has_value(); }))
      << "no name dialog after a game of " << expected_.score << " points";
  ASSERT_NO_FATAL_FAILURE(expectShownPainted("Gratulujeme!", kDialogFrame));
  // The name field has the focus when the dialog opens.
  xdotool({"windowactivate", "--sync", *dialog});
  xdotool({"key", "ctrl+a", "BackSpace"});
  // Pasted: typed letters missing from the keyboard map all come on one spare key, which Wine
  // reads only once, so "Kůň" would arrive as "Kůů". Wine takes the X clipboard over, which
  // this program owns while it keeps answering.
  QGuiApplication::clipboard()->setText(QString::fromUtf8(kPlayerName));
  keepAnswering(2000);
  xdotool({"key", "ctrl+v"});
  keepAnswering(2000);
  xdotool({"key", "Return"});
  ASSERT_NO_FATAL_FAILURE(closeWindow("^Tabulka"));

  pelorin::ScoreTable table = pelorin::defaultScoreTable();
  const std::optional<int> row = pelorin::insertScore(table, expected_.score);
  ASSERT_TRUE(row.has_value()) << expected_.score << " points do not make the table";
  const std::string name = windows1250(kPlayerName);
  ASSERT_EQ(name.size(), 3u);
  pelorin::setName(table, *row, name);
  const pelorin::ScoreFileBytes bytes = pelorin::encodeScores(table);
  EXPECT_EQ(readAll(scoreFile()).toHex(' ').toStdString(),
            QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<int>(bytes.size()))
                .toHex(' ')
                .toStdString())
      << "the score file differs from what this machine's score logic writes";

  quitWithKonec();
}

TEST_F(WindowsPackage, TheLinkStartsTheProgramRegisteredForHtmWithTheAddress) {
  const QString browserRecord = registerBrowser(root_.path());
  ASSERT_FALSE(browserRecord.isEmpty()) << "cannot register the browser stand-in";
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(findDeal());

  click(kHomePageLink);
  ASSERT_TRUE(waitUntil([&] { return QFileInfo::exists(browserRecord); }))
      << "the program registered for .htm was not started";
  EXPECT_EQ(readAll(browserRecord).toStdString(), std::string(kHomePageAddress) + "\n")
      << "the address is not its one argument";

  quitWithKonec();
}

// A folder Wine cannot write, as "Program Files" is to a player: immutable, so that not even
// root writes there, for as long as this lives. Not had without root or where the file system
// has no such attribute.
class ClosedFolder {
 public:
  explicit ClosedFolder(QString folder) : folder_(std::move(folder)) {
    closed_ = QProcess::execute("chattr", {"+i", folder_}) == 0;
  }
  ~ClosedFolder() { open(); }
  void open() {
    if (closed_) QProcess::execute("chattr", {"-i", folder_});
    closed_ = false;
  }
  bool closed() const { return closed_; }

 private:
  QString folder_;
  bool closed_ = false;
};

class ClosedFolderPackage : public WindowsPackage {
 protected:
  // Where Windows' file virtualisation keeps the folder's files: LocalAppData\VirtualStore
  // and the folder's path without its drive (Z:, the Unix root, under Wine).
  QString virtualStoreFile() const {
    const QDir users(setting("PELORIN_WINE_PREFIX") + "/drive_c/users");
    for (const QString& user : users.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
      const QString local = users.filePath(user + "/AppData/Local");
      if (user != "Public" && QFileInfo(local).isDir())
        return local + "/VirtualStore" + gameDir_ + "/pelorin.sco";
    }
    return {};
  }

  // The score table's window below its caption, once the screen shows it steadily; closed
  // again afterwards.
  QImage shownTable() {
    std::optional<QString> window;
    if (!waitUntil([&] { return (window = visibleWindow("^Tabulka")).has_value(); })) return {};
    QImage shown;
    waitUntil([&] {
      QSize size;
      for (const QString& line :
           xdotool({"getwindowgeometry", "--shell", *window}).output.split('\n')) {
        if (line.startsWith("WIDTH=")) size.setWidth(line.mid(6).toInt());
        if (line.startsWith("HEIGHT=")) size.setHeight(line.mid(7).toInt());
      }
      const QImage now = screen().copy(QRect(windowPosition(*window), size).adjusted(0, 30, 0, 0));
      const bool steady = !now.isNull() && now == shown && now.height() > 150;
      shown = now;
      return steady;
    });
    closeWindow("^Tabulka");
    return shown;
  }
};

TEST_F(ClosedFolderPackage, ShowsTheDefaultTableAndKeepsResultsInTheVirtualStoreReadFirst) {
  // The default table as the game shows it where it can create it.
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(findDeal());
  click(kBestScoresButton);
  const QImage defaults = shownTable();
  ASSERT_FALSE(defaults.isNull()) << "the score table did not open";
  ASSERT_NO_FATAL_FAILURE(quitWithKonec());
  ASSERT_TRUE(QFile::remove(scoreFile()));

  ClosedFolder folder(gameDir_);
  if (!folder.closed()) GTEST_SKIP() << "chattr +i is not available here";
  const QString stored = virtualStoreFile();
  ASSERT_FALSE(stored.isEmpty()) << "the Wine prefix has no LocalAppData";
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(findDeal());
  click(kBestScoresButton);
  EXPECT_TRUE(shownTable() == defaults) << "the screen does not show the default table";
  EXPECT_FALSE(QFileInfo::exists(scoreFile()));
  EXPECT_FALSE(QFileInfo::exists(stored)) << "nothing is stored before a result";

  while (playBiggestGroup()) {
  }
  std::optional<QString> dialog;
  ASSERT_TRUE(waitUntil([&] { return (dialog = visibleWindow("^Gratulujeme")).has_value(); }));
  xdotool({"windowactivate", "--sync", *dialog});
  xdotool({"type", "Jan"});
  xdotool({"key", "Return"});
  const QImage withResult = shownTable();
  EXPECT_FALSE(withResult == defaults) << "the result is not in the table shown";
  ASSERT_NO_FATAL_FAILURE(quitWithKonec());
  pelorin::ScoreTable table = pelorin::defaultScoreTable();
  const std::optional<int> row = pelorin::insertScore(table, expected_.score);
  ASSERT_TRUE(row.has_value());
  pelorin::setName(table, *row, "Jan");
  const pelorin::ScoreFileBytes bytes = pelorin::encodeScores(table);
  EXPECT_EQ(readAll(stored), QByteArray(reinterpret_cast<const char*>(bytes.data()),
                                        static_cast<int>(bytes.size())))
      << "the result did not land in the VirtualStore";
  EXPECT_FALSE(QFileInfo::exists(scoreFile()));

  // Next time the VirtualStore copy is read first, also over a table beside the game.
  folder.open();
  const pelorin::ScoreFileBytes defaultBytes = pelorin::encodeScores(pelorin::defaultScoreTable());
  QFile beside(scoreFile());
  ASSERT_TRUE(beside.open(QIODevice::WriteOnly));
  beside.write(reinterpret_cast<const char*>(defaultBytes.data()),
               static_cast<qint64>(defaultBytes.size()));
  beside.close();
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(findDeal());
  click(kBestScoresButton);
  EXPECT_TRUE(shownTable() == withResult) << "the VirtualStore copy was not the table shown";
  ASSERT_NO_FATAL_FAILURE(quitWithKonec());
  QDir unpacked(QFileInfo(stored).path());
  unpacked.cdUp();  // the test's own folder in the store
  unpacked.removeRecursively();
}

// Windows at 150 %: the board drawn whole from the pictures (every device pixel as Qt scales
// the bitmap: no gaps, no seams), releases on the first and the last device pixel of cells
// playing those cells, and every window holding its layout at that scale.
class WindowsPackageAt150PerCent : public WindowsPackage {
 protected:
  void SetUp() override {
    logPixels_ = 144;
    WindowsPackage::SetUp();
  }

  void expectFits(const QString& title, QSize laidOut) {
    const std::optional<NativeWindow> window = waitForNativeWindow(title);
    ASSERT_TRUE(window.has_value()) << "no window " << title.toStdString();
    EXPECT_GE(window->client.width(), qCeil(laidOut.width() * scale())) << title.toStdString();
    EXPECT_GE(window->client.height(), qCeil(laidOut.height() * scale())) << title.toStdString();
  }

  // The device pixels of `board` as the game paints them: its pictures' bitmap scaled
  // unsmoothed by Qt's own painter.
  QImage boardDevicePixels(const Grid& board) const {
    QImage bitmap(kColumns * kCellPixels, kRows * kCellPixels, QImage::Format_RGB32);
    QPainter painter(&bitmap);
    for (int y = 0; y < kRows; ++y)
      for (int x = 0; x < kColumns; ++x)
        painter.drawImage(x * kCellPixels, y * kCellPixels,
                          pictures()[board[pelorin::cellIndex(x, y)]]);
    painter.end();
    QImage device(qCeil(bitmap.width() * scale()), qCeil(bitmap.height() * scale()),
                  QImage::Format_RGB32);
    device.setDevicePixelRatio(scale());
    painter.begin(&device);
    painter.drawImage(QRect(QPoint(0, 0), bitmap.size()), bitmap);
    painter.end();
    device.setDevicePixelRatio(1);
    return device;
  }
};

TEST_F(WindowsPackageAt150PerCent, DrawsTheBoardWholePlaysEdgeReleasesAndFitsEveryWindow) {
  ASSERT_NO_FATAL_FAILURE(start());
  ASSERT_NO_FATAL_FAILURE(findDeal());
  ASSERT_NO_FATAL_FAILURE(expectFits("Pelorin 1.01", kMainClient));
  const QImage drawn = boardDevicePixels(expected_.board);
  const QImage shown = screen().copy(QRect(origin_, drawn.size()));
  int differing = 0;
  for (int y = 0; y < drawn.height(); ++y)
    for (int x = 0; x < drawn.width(); ++x) differing += shown.pixel(x, y) != drawn.pixel(x, y);
  EXPECT_EQ(differing, 0) << "device pixels of the board that its pictures do not give";

  for (const bool firstPixel : {false, true}) {
    if (firstPixel) {
      click(kNewGameButton);
      ASSERT_NO_FATAL_FAILURE(findDeal());
    }
    const EdgeReleases done = playEdgeReleases(expected_, scale(), firstPixel, [&](QPoint device) {
      clickDevicePixel(device);
      return showsBoard(expected_.board);
    });
    const char* edge = firstPixel ? "first" : "last";
    ASSERT_EQ(done.failure, "") << edge << " device pixels";
    EXPECT_EQ(done.rows, kRows) << edge << " device pixels";
    // How many columns keep a group to play depends on the deal.
    EXPECT_GE(done.columns, kColumns * 3 / 4) << "too few columns could be tried on the " << edge;
  }

  click(kBestScoresButton);
  ASSERT_NO_FATAL_FAILURE(expectFits("Tabulka vítězů", {257, 201}));
  ASSERT_NO_FATAL_FAILURE(closeWindow("^Tabulka"));
  while (playBiggestGroup()) {
  }
  ASSERT_NO_FATAL_FAILURE(expectFits("Gratulujeme!", {205, 109}));
  ASSERT_NO_FATAL_FAILURE(closeWindow("^Gratulujeme"));
  ASSERT_NO_FATAL_FAILURE(closeWindow("^Tabulka"));
  quitWithKonec();
}

}  // namespace
