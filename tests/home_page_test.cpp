// The home-page link on the real main window. GIO reads the desktop's settings once per
// process, so every click runs in a child process (this binary again) with a desktop of its
// own: a fake browser that records its arguments, registered as the default for web pages.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDesktopServices>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <cstdio>
#include <cstring>

#include "ui/Application.h"
#include "ui/ExeDir.h"
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
// to start from, and the directory where the fake browser leaves one file per start.
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

  bool makeDirectories() const {
    for (const QString& directory : {dataHome(), configHome(), systemData(), systemConfig(),
                                     gameDir(), startDir(), runsDir()}) {
      if (!QDir().mkpath(directory)) return false;
    }
    // This desktop's type database knows ".htm" alone: the host's does not come into it.
    return QDir().mkpath(pathIn(dataHome(), "mime")) &&
           writeFile(pathIn(dataHome(), "mime/globs2"), "50:text/html:*.htm\n");
  }

  // The fake browser and the settings that make it the default for web pages.
  bool installBrowser() const {
    const QByteArray script =
        "#!/bin/sh\n"
        "runs='" +
        runsDir().toLocal8Bit() +
        "'\n"
        "tmp=$(mktemp \"$runs/.run.XXXXXX\") || exit 1\n"
        "{ echo \"$#\"; for a in \"$@\"; do printf '%s\\n' \"$a\"; done; } "
        "> \"$tmp\"\n"
        "mv \"$tmp\" \"$runs/run.${tmp##*.run.}\"\n";
    const QByteArray entry =
        "[Desktop Entry]\nType=Application\nName=Fake browser\n"
        "Exec=" +
        browser().toLocal8Bit() +
        " %u\n"
        "MimeType=text/html;\n";
    const QString applications = pathIn(dataHome(), "applications");
    return writeFile(browser(), script) &&
           QFile::setPermissions(browser(),
                                 QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner) &&
           QDir().mkpath(applications) &&
           writeFile(pathIn(applications, "fake-browser.desktop"), entry) &&
           writeFile(pathIn(configHome(), "mimeapps.list"),
                     "[Default Applications]\ntext/html=fake-browser.desktop\n");
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

// Stands in for the platform's handling of web addresses, so no real browser ever opens.
class PlatformOpener : public QObject {
  Q_OBJECT

 public Q_SLOTS:
  void open(const QUrl& url) { std::printf("platform %s\n", qPrintable(url.toString())); }
};

// Arguments: the game's directory, the directory to start from, and optionally the desktop
// root whose browser is only installed after the windows exist.
int runChild(int argc, char** argv) {
  if (argc < 4) return 2;
  const QString gameDir = QString::fromLocal8Bit(argv[2]);
  PlatformOpener opener;
  QDesktopServices::setUrlHandler("https", &opener, "open");
  QDesktopServices::setUrlHandler("http", &opener, "open");

  QDir::setCurrent(QString::fromLocal8Bit(argv[3]));
  createWindows();
  setExeDir(gameDir);
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
  std::fflush(stdout);
  destroyWindows();
  QDesktopServices::unsetUrlHandler("https");
  QDesktopServices::unsetUrlHandler("http");
  return 0;
}

// ---- The parent: sets up a desktop, runs a child, looks at what happened -------------------

struct ChildReport {
  QStringList platformAddresses;
  QString currentDirectory;
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
      if (line.startsWith("platform ")) report.platformAddresses << line.mid(9);
      if (line.startsWith("cwd ")) report.currentDirectory = line.mid(4);
    }
    return report;
  }

  // The arguments of each start of the fake browser, once `expected` starts have been
  // recorded (or the wait has run out), and after a pause in which no more may come.
  std::vector<QStringList> browserStarts(std::size_t expected) const {
    QElapsedTimer timer;
    timer.start();
    while (static_cast<std::size_t>(recordedStarts().size()) < expected && timer.elapsed() < 10000)
      QThread::msleep(20);
    QThread::msleep(300);
    std::vector<QStringList> starts;
    for (const QString& name : recordedStarts()) {
      QFile file(pathIn(desktop_.runsDir(), name));
      if (!file.open(QIODevice::ReadOnly)) continue;
      QStringList lines = QString::fromLocal8Bit(file.readAll()).split('\n');
      if (lines.last().isEmpty()) lines.removeLast();
      const int count = lines.isEmpty() ? -1 : lines.takeFirst().toInt();
      EXPECT_EQ(count, lines.size()) << "argument count as the browser saw it";
      starts.push_back(lines);
    }
    return starts;
  }

  QStringList recordedStarts() const {
    return QDir(desktop_.runsDir()).entryList({"run.*"}, QDir::Files);
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

  const std::vector<QStringList> starts = browserStarts(kClicks);
  ASSERT_EQ(starts.size(), std::size_t{kClicks}) << "one start per click";
  for (const QStringList& arguments : starts) EXPECT_EQ(arguments, QStringList{homePageAddress()});
  EXPECT_TRUE(report.platformAddresses.isEmpty());
  // Started elsewhere, the game looked beside its executable and stays there.
  EXPECT_EQ(report.currentDirectory, desktop_.gameDir());
}

TEST_F(HomePageLink, FindsTheBrowserByTheDocumentsNameEvenWhenItIsEmpty) {
  ASSERT_TRUE(desktop_.installBrowser());
  ASSERT_TRUE(desktop_.placeWebPage(QByteArray()));

  const ChildReport report = click();

  const std::vector<QStringList> starts = browserStarts(kClicks);
  ASSERT_EQ(starts.size(), std::size_t{kClicks});
  for (const QStringList& arguments : starts) EXPECT_EQ(arguments, QStringList{homePageAddress()});
  EXPECT_TRUE(report.platformAddresses.isEmpty());
}

TEST_F(HomePageLink, LooksTheBrowserUpOnTheClickNotAtStartUp) {
  const ChildReport report = click(/*installBrowserAfterStart=*/true);

  const std::vector<QStringList> starts = browserStarts(kClicks);
  ASSERT_EQ(starts.size(), std::size_t{kClicks});
  for (const QStringList& arguments : starts) EXPECT_EQ(arguments, QStringList{homePageAddress()});
  EXPECT_TRUE(report.platformAddresses.isEmpty());
}

TEST_F(HomePageLink, HandsTheAddressToThePlatformWithoutWebHtm) {
  ASSERT_TRUE(desktop_.installBrowser());
  ASSERT_TRUE(desktop_.placeWebPage(shippedWebPage()));
  ASSERT_TRUE(
      QFile::rename(pathIn(desktop_.gameDir(), "web.htm"), pathIn(desktop_.startDir(), "web.htm")))
      << "the document in the directory the game starts from must not count";

  const ChildReport report = click();

  EXPECT_EQ(report.platformAddresses, QStringList(kClicks, homePageAddress()));
  EXPECT_TRUE(browserStarts(0).empty());
  EXPECT_EQ(report.currentDirectory, desktop_.gameDir());
}

TEST_F(HomePageLink, HandsTheAddressToThePlatformWhenNoProgramIsAssociated) {
  ASSERT_TRUE(desktop_.placeWebPage(shippedWebPage()));

  const ChildReport report = click();

  EXPECT_EQ(report.platformAddresses, QStringList(kClicks, homePageAddress()));
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

#include "home_page_test.moc"
