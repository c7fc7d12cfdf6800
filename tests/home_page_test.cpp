// The home-page link on the real main window. GIO reads the desktop's settings once per
// process, so every click runs in a child process (this binary again) with a desktop of its
// own: a fake browser that records its arguments, registered as the default for web pages,
// and a fake opener registered for https addresses, which stands for the desktop's own
// handling of an address and records its arguments the same way.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "platform/ExeDir.h"
#include "ui/Application.h"
#include "ui/Hlavni.h"
#include "ui/HomePage.h"
#include "ui/Startup.h"

namespace {

constexpr char kChildFlag[] = "--click-home-page";
constexpr int kClicks = 2;

QString pathIn(const QString& directory, const QString& name) {
  return QDir(directory).filePath(name);
}

bool writeFile(const QString& path, const QByteArray& contents) {
  QFile file(path);
  return file.open(QIODevice::WriteOnly | QIODevice::Truncate) &&
         file.write(contents) == contents.size();
}

// The temporary desktop: XDG directories under `root`, the game's directory, a directory
// to start from, and the directories where the fake browser and the fake opener leave one
// file per start.
struct Desktop {
  explicit Desktop(const QString& rootPath) : root(rootPath) {}

  QString root;
  QString dataHome() const { return pathIn(root, "data"); }
  QString configHome() const { return pathIn(root, "config"); }
  QString systemData() const { return pathIn(root, "system-data"); }
  QString systemConfig() const { return pathIn(root, "system-config"); }
  QString gameDir() const { return pathIn(root, "game"); }
  QString startDir() const { return pathIn(root, "elsewhere"); }
  QString runsDir() const { return pathIn(root, "browser-runs"); }
  QString browser() const { return pathIn(root, "fake-browser"); }
  QString openerRunsDir() const { return pathIn(root, "opener-runs"); }
  QString opener() const { return pathIn(root, "fake-opener"); }

  bool makeDirectories() const {
    for (const QString& directory : {dataHome(), configHome(), systemData(), systemConfig(),
                                     gameDir(), startDir(), runsDir(), openerRunsDir()}) {
      if (!QDir().mkpath(directory)) return false;
    }
    // This desktop's type database knows ".htm" alone: the host's does not come into it.
    // The opener is always there, as a desktop always has some way to open an address.
    return QDir().mkpath(pathIn(dataHome(), "mime")) &&
           writeFile(pathIn(dataHome(), "mime/globs2"), "50:text/html:*.htm\n") &&
           installRecorder(opener(), openerRunsDir(), "fake-opener",
                           "x-scheme-handler/https;x-scheme-handler/http;") &&
           writeDefaults(false);
  }

  // The fake browser and the settings that make it the default for web pages.
  bool installBrowser() const {
    return installRecorder(browser(), runsDir(), "fake-browser", "text/html;") &&
           writeDefaults(true);
  }

  // A program that leaves its argument count and arguments in a file of its own in `runs`,
  // and the desktop entry that offers it for `types`.
  bool installRecorder(const QString& program, const QString& runs, const QByteArray& name,
                       const QByteArray& types) const {
    const QByteArray script =
        "#!/bin/sh\n"
        "runs='" +
        runs.toLocal8Bit() +
        "'\n"
        "tmp=$(mktemp \"$runs/.run.XXXXXX\") || exit 1\n"
        "{ echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } "
        "> \"$tmp\"\n"
        "mv \"$tmp\" \"$runs/run.${tmp##*.run.}\"\n";
    const QByteArray entry = "[Desktop Entry]\nType=Application\nName=" + name +
                             "\nExec=" + program.toLocal8Bit() + " %u\nMimeType=" + types + "\n";
    const QString applications = pathIn(dataHome(), "applications");
    return writeFile(program, script) &&
           QFile::setPermissions(program, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
           QDir().mkpath(applications) &&
           writeFile(pathIn(applications, QString::fromLatin1(name + ".desktop")), entry);
  }

  bool writeDefaults(bool withBrowser) const {
    QByteArray defaults =
        "[Default Applications]\n"
        "x-scheme-handler/https=fake-opener.desktop\n"
        "x-scheme-handler/http=fake-opener.desktop\n";
    if (withBrowser) defaults += "text/html=fake-browser.desktop\n";
    return writeFile(pathIn(configHome(), "mimeapps.list"), defaults);
  }

  bool placeWebPage(const QByteArray& contents) const {
    return writeFile(pathIn(gameDir(), "web.htm"), contents);
  }

  QProcessEnvironment environment() const {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("XDG_DATA_HOME", dataHome());
    environment.insert("XDG_CONFIG_HOME", configHome());
    environment.insert("XDG_DATA_DIRS", systemData());
    environment.insert("XDG_CONFIG_DIRS", systemConfig());
    environment.remove("XDG_CURRENT_DESKTOP");
    environment.insert("QT_QPA_PLATFORM", "offscreen");
    return environment;
  }
};

// The web page as the build ships it beside the executable.
QByteArray shippedWebPage() {
  QFile file(QStringLiteral(PELORIN_SHIPPED_WEB_PAGE));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// ---- The child: one run of the game, clicking the link -------------------------------------

// Whether the game has a child process left: a started program that nobody collects
// would stay behind as a zombie for as long as the game runs. Waits until every child the
// clicks made has ended; one that has ended unreaped is taken here and reported.
const char* leftoverChildren() {
  for (int attempt = 0; attempt < 500; ++attempt) {
    const pid_t child = waitpid(-1, nullptr, WNOHANG);
    if (child < 0 && errno == ECHILD) return "none";
    if (child > 0) return "unreaped";
    QTest::qWait(20);
  }
  return "running";
}

// Arguments: the game's directory, the directory to start from, and optionally the desktop
// root whose browser is only installed after the windows exist.
int runChild(int argc, char** argv) {
  if (argc < 4) return 2;
  const QString gameDir = QString::fromLocal8Bit(argv[2]);
  QDir::setCurrent(QString::fromLocal8Bit(argv[3]));
  createWindows();
  pelorin::setExeDir(QDir(gameDir).filesystemPath());
  if (argc >= 5) {
    const Desktop late(QString::fromLocal8Bit(argv[4]));
    if (!late.installBrowser() || !late.placeWebPage(shippedWebPage())) return 3;
  }
  frmMain->show();
  if (!QTest::qWaitForWindowExposed(frmMain)) return 4;

  auto* link = frmMain->findChild<QLabel*>("labelHomepage");
  if (!link) return 5;
  for (int click = 0; click < kClicks; ++click) QTest::mouseClick(link, Qt::LeftButton);
  std::printf("cwd %s\n", qPrintable(QDir::currentPath()));
  std::printf("children %s\n", leftoverChildren());
  std::fflush(stdout);
  destroyWindows();
  return 0;
}

// ---- The parent: sets up a desktop, runs a child, looks at what happened -------------------

struct ChildReport {
  QString currentDirectory;
  QString children;
};

class HomePageLink : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(root_.isValid());
    ASSERT_TRUE(desktop_.makeDirectories());
  }

  ChildReport click(bool installBrowserAfterStart = false) {
    QProcess child;
    child.setProcessEnvironment(desktop_.environment());
    QStringList arguments{kChildFlag, desktop_.gameDir(), desktop_.startDir()};
    if (installBrowserAfterStart) arguments << desktop_.root;
    child.start(QCoreApplication::applicationFilePath(), arguments);
    ChildReport report;
    if (!child.waitForFinished(20000)) {
      child.kill();
      ADD_FAILURE() << "the game did not finish";
      return report;
    }
    EXPECT_EQ(child.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().toStdString();
    for (const QString& line : QString::fromLocal8Bit(child.readAllStandardOutput()).split('\n')) {
      if (line.startsWith("cwd ")) report.currentDirectory = line.mid(4);
      if (line.startsWith("children ")) report.children = line.mid(9);
    }
    return report;
  }

  // The arguments of each start recorded in `runs`, once `expected` starts have been
  // recorded (or the wait has run out), and after a pause in which no more may come.
  static std::vector<QStringList> startsIn(const QString& runs, std::size_t expected) {
    QElapsedTimer timer;
    timer.start();
    while (static_cast<std::size_t>(recordedStarts(runs).size()) < expected &&
           timer.elapsed() < 10000)
      QThread::msleep(20);
    QThread::msleep(300);
    std::vector<QStringList> starts;
    for (const QString& name : recordedStarts(runs)) {
      QFile file(pathIn(runs, name));
      if (!file.open(QIODevice::ReadOnly)) continue;
      QStringList lines = QString::fromLocal8Bit(file.readAll()).split('\n');
      if (lines.last().isEmpty()) lines.removeLast();
      const int count = lines.isEmpty() ? -1 : lines.takeFirst().toInt();
      EXPECT_EQ(count, lines.size()) << "argument count as the program saw it";
      starts.push_back(lines);
    }
    return starts;
  }

  static QStringList recordedStarts(const QString& runs) {
    return QDir(runs).entryList({"run.*"}, QDir::Files);
  }

  std::vector<QStringList> browserStarts(std::size_t expected) const {
    return startsIn(desktop_.runsDir(), expected);
  }
  std::vector<QStringList> openerStarts(std::size_t expected) const {
    return startsIn(desktop_.openerRunsDir(), expected);
  }

  // Each click, one start with the address as the only argument.
  static void expectOneStartPerClick(const std::vector<QStringList>& starts) {
    ASSERT_EQ(starts.size(), std::size_t{kClicks}) << "one start per click";
    for (const QStringList& arguments : starts)
      EXPECT_EQ(arguments, QStringList{homePageAddress()});
  }

  QTemporaryDir root_;
  Desktop desktop_{root_.path()};
};

TEST_F(HomePageLink, StartsTheAssociatedBrowserWithTheAddressAsItsOnlyArgument) {
  const QByteArray page = shippedWebPage();
  ASSERT_FALSE(page.isEmpty()) << "web.htm is not beside the executable";
  ASSERT_TRUE(desktop_.installBrowser());
  ASSERT_TRUE(desktop_.placeWebPage(page));

  const ChildReport report = click();

  expectOneStartPerClick(browserStarts(kClicks));
  EXPECT_TRUE(openerStarts(0).empty());
  // Started elsewhere, the game looked beside its executable and stays there.
  EXPECT_EQ(report.currentDirectory, desktop_.gameDir());
  EXPECT_EQ(report.children, "none") << "the browser is no child left for the game to collect";
}

TEST_F(HomePageLink, FindsTheBrowserByTheDocumentsNameEvenWhenItIsEmpty) {
  ASSERT_TRUE(desktop_.installBrowser());
  ASSERT_TRUE(desktop_.placeWebPage(QByteArray()));

  click();

  expectOneStartPerClick(browserStarts(kClicks));
  EXPECT_TRUE(openerStarts(0).empty());
}

TEST_F(HomePageLink, LooksTheBrowserUpOnTheClickNotAtStartUp) {
  click(/*installBrowserAfterStart=*/true);

  expectOneStartPerClick(browserStarts(kClicks));
  EXPECT_TRUE(openerStarts(0).empty());
}

TEST_F(HomePageLink, HandsTheAddressToThePlatformWithoutWebHtm) {
  ASSERT_TRUE(desktop_.installBrowser());
  ASSERT_TRUE(desktop_.placeWebPage(shippedWebPage()));
  ASSERT_TRUE(
      QFile::rename(pathIn(desktop_.gameDir(), "web.htm"), pathIn(desktop_.startDir(), "web.htm")))
      << "the document in the directory the game starts from must not count";

  const ChildReport report = click();

  expectOneStartPerClick(openerStarts(kClicks));
  EXPECT_TRUE(browserStarts(0).empty());
  EXPECT_EQ(report.currentDirectory, desktop_.gameDir());
  EXPECT_EQ(report.children, "none") << "the opener is no child left for the game to collect";
}

TEST_F(HomePageLink, HandsTheAddressToThePlatformWhenNoProgramIsAssociated) {
  ASSERT_TRUE(desktop_.placeWebPage(shippedWebPage()));

  click();

  expectOneStartPerClick(openerStarts(kClicks));
  EXPECT_TRUE(browserStarts(0).empty());
}

}  // namespace

int main(int argc, char** argv) {
  if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  Application application(argc, argv);
  if (argc >= 2 && std::strcmp(argv[1], kChildFlag) == 0) return runChild(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
