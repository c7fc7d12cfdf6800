#include <QFrame>
#include <QLineEdit>
#include <QPushButton>

#include "game/Generator.h"
#include "tests/ui/window_fixture.h"

namespace pelorin::testing {
namespace {

using MainWindow = WindowTest;

TEST_F(MainWindow, LayoutPlacesEveryControl) {
  EXPECT_EQ(frmMain->size(), QSize(402, 201));
  EXPECT_EQ(frmMain->minimumSize(), frmMain->maximumSize());
  EXPECT_TRUE(frmMain->windowTitle().startsWith(QStringLiteral("Pelorin " PELORIN_VERSION " ")));
  EXPECT_TRUE(frmMain->windowTitle().contains(QStringLiteral("Quillon Dynamics")));
  EXPECT_FALSE(frmMain->windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_TRUE(frmMain->windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_EQ(frmMain->windowIcon().pixmap(32, 32).size(), QSize(32, 32));

  struct Expected {
    const char* name;
    QRect geometry;
    const char* text;
  };
  const Expected buttons[] = {{"btnNovaHra", {140, 148, 85, 25}, "Nová hra"},
                              {"btnNejlepsiSkore", {228, 148, 85, 25}, "Nejlepší skóre"},
                              {"btnKonec", {316, 148, 85, 25}, "Konec"}};
  for (const auto& expected : buttons) {
    auto* button = control<QPushButton>(expected.name);
    EXPECT_EQ(button->geometry(), expected.geometry) << expected.name;
    EXPECT_EQ(button->text(), QString::fromUtf8(expected.text));
    EXPECT_TRUE(button->isVisible());
  }
  EXPECT_EQ(board()->geometry(), QRect(0, 0, 400, 144));
  auto* panel = control<QLabel>("panelScore");
  EXPECT_EQ(panel->geometry(), QRect(2, 148, 135, 25));
  EXPECT_EQ(panel->text(), QStringLiteral("0"));
  EXPECT_TRUE(panel->font().bold());
  EXPECT_EQ(control<QFrame>("pStatus")->geometry(), QRect(0, 176, 402, 25));
  auto* info = control<QLabel>("labelInfo");
  EXPECT_EQ(info->text(), QStringLiteral("Navštivte naše stránky"));
  EXPECT_EQ(info->pos(), QPoint(8, 6));
  auto* link = control<QLabel>("labelHomepage");
  EXPECT_EQ(link->cursor().shape(), Qt::PointingHandCursor);
  EXPECT_TRUE(link->font().bold() && link->font().underline());
  EXPECT_FALSE(link->text().isEmpty());
  EXPECT_FALSE(link->text().contains(u':')) << "the caption shows the address without its scheme";
  EXPECT_GT(link->x(), info->geometry().right());
}

TEST_F(MainWindow, HiddenPictureHoldersAndEditBox) {
  const char* holders[] = {"imgBila",  "imgModraOld", "imgHnedaOld", "imgPrazdna",
                           "imgZluta", "imgModra",    "imgHneda"};
  for (const char* name : holders) {
    auto* holder = control<QLabel>(name);
    EXPECT_FALSE(holder->isVisible()) << name;
    EXPECT_EQ(holder->pixmap().size(), QSize(16, 16)) << name;
  }
  EXPECT_EQ(control<QLabel>("imgModraOld")->pixmap().toImage(),
            control<QLabel>("imgModra")->pixmap().toImage());
  auto* edit = control<QLineEdit>("Edit1");
  EXPECT_FALSE(edit->isVisible());
  EXPECT_EQ(QDir::fromNativeSeparators(edit->text()), QCoreApplication::applicationFilePath());
}

TEST_F(MainWindow, OnlyTheScorePanelHasAHint) {
  for (QWidget* widget : frmMain->findChildren<QWidget*>()) {
    if (widget->objectName() == QStringLiteral("panelScore")) {
      EXPECT_EQ(widget->toolTip(), QStringLiteral("Aktuální skóre"));
    } else {
      EXPECT_TRUE(widget->toolTip().isEmpty()) << widget->objectName().toStdString();
    }
  }
}

TEST_F(MainWindow, FocusStartsOnNewGameAndTabWalksTheButtons) {
  frmMain->activateWindow();
  QApplication::setActiveWindow(frmMain);
  auto* first = control<QPushButton>("btnNovaHra");
  EXPECT_TRUE(first->hasFocus());
  QTest::keyClick(frmMain, Qt::Key_Tab);
  EXPECT_TRUE(control<QPushButton>("btnNejlepsiSkore")->hasFocus());
  QTest::keyClick(frmMain, Qt::Key_Tab);
  EXPECT_TRUE(control<QPushButton>("btnKonec")->hasFocus());
  QTest::keyClick(frmMain, Qt::Key_Tab);
  EXPECT_TRUE(first->hasFocus()) << "the hidden edit box is skipped";
}

TEST_F(MainWindow, StartUpDealsAFullBoardAndKnowsItsDirectory) {
  for (auto cell : gameState.board) EXPECT_NE(cell, Empty);
  EXPECT_EQ(gameState.score, 0);
  EXPECT_EQ(directoryOf(executablePath()),
            QDir(QCoreApplication::applicationDirPath()).filesystemPath());
}

TEST_F(MainWindow, BoardPixelsAreTheBallPictures) {
  dealSeed(0);
  gameState.cell(24, 8) = Empty;  // an empty cell too, not a settled board but drawable
  frmMain->drawBoard();
  const QImage pictures[] = {QImage(":/balls/prazdna.bmp"), QImage(":/balls/zluta.bmp"),
                             QImage(":/balls/modra.bmp"), QImage(":/balls/hneda.bmp")};
  const QImage shown = board()->grab().toImage().convertToFormat(QImage::Format_RGB32);
  ASSERT_EQ(shown.size(), QSize(400, 144));
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kColumns; ++x) {
      const QImage cell = shown.copy(x * 16, y * 16, 16, 16);
      const QImage& expected = pictures[gameState.cell(x, y)];
      ASSERT_EQ(cell, expected.convertToFormat(QImage::Format_RGB32)) << x << "," << y;
    }
  }
}

TEST_F(MainWindow, ReleaseOnACellRemovesTheSearchedGroupAndShowsTheScore) {
  dealSeed(0);
  GameState expected = gameState;
  playTurn(expected, {14, 0});
  releaseOn({14, 0});
  EXPECT_EQ(gameState.board, expected.board);
  EXPECT_EQ(gameState.groupSize, 8);
  EXPECT_EQ(scoreCaption(), QStringLiteral("36"));
  // the screen shows the collapsed board
  const QImage shown = board()->grab().toImage();
  EXPECT_EQ(shown.pixelColor(14 * 16 + 8, 8), QColor(Qt::white)) << "top cell now empty";
}

TEST_F(MainWindow, EveryButtonAndModifierPlaysTheSameTurn) {
  const std::pair<Qt::MouseButton, Qt::KeyboardModifiers> releases[] = {
      {Qt::RightButton, Qt::NoModifier},
      {Qt::MiddleButton, Qt::NoModifier},
      {Qt::LeftButton, Qt::ShiftModifier},
      {Qt::LeftButton, Qt::ControlModifier},
      {Qt::RightButton, Qt::AltModifier}};
  for (auto [button, modifiers] : releases) {
    dealSeed(0);
    releaseOn({14, 0}, button, modifiers);
    EXPECT_EQ(gameState.groupSize, 8) << button << " " << modifiers.toInt();
    EXPECT_EQ(scoreCaption(), QStringLiteral("36"));
  }
}

TEST_F(MainWindow, ADragReleasedOutsideTheImageChangesNothing) {
  dealSeed(0);
  const GameState before = gameState;
  const QImage shownBefore = board()->grab().toImage();
  for (QPoint outside : {QPoint(-5, 8), QPoint(8, 150), QPoint(405, 20), QPoint(200, -3)}) {
    QTest::mousePress(board(), Qt::LeftButton, Qt::NoModifier, centreOf({14, 0}));
    QTest::mouseMove(board(), outside);
    QTest::mouseRelease(board(), Qt::LeftButton, Qt::NoModifier, outside);
  }
  EXPECT_EQ(gameState.board, before.board);
  EXPECT_EQ(gameState.marks, before.marks);
  EXPECT_EQ(gameState.score, 0);
  EXPECT_EQ(board()->grab().toImage(), shownBefore);
}

TEST_F(MainWindow, NewGameDealsAFullBoardAndResetsTheScore) {
  dealSeed(0);
  releaseOn({14, 0});
  ASSERT_EQ(scoreCaption(), QStringLiteral("36"));
  QTest::mouseClick(control<QPushButton>("btnNovaHra"), Qt::LeftButton);
  EXPECT_EQ(scoreCaption(), QStringLiteral("0"));
  EXPECT_EQ(gameState.score, 0);
  for (auto cell : gameState.board) ASSERT_NE(cell, Empty);
  EXPECT_FALSE(QFile::exists(scoreFile())) << "the abandoned game is not recorded";
}

}  // namespace
}  // namespace pelorin::testing

namespace pelorin::testing {
namespace {

// Throws from its event handler, as a faulty handler would.
class ThrowingReceiver : public QObject {
 protected:
  bool event(QEvent* event) override {
    if (event->type() == QEvent::User) throw std::runtime_error("Soubor nelze otevřít");
    return QObject::event(event);
  }
};

TEST_F(MainWindow, AnExceptionFromAHandlerIsShownAndTheGameGoesOn) {
  QString title;
  QString text;
  answerNextModal([&](QWidget* box) {
    title = box->windowTitle();
    text = box->findChild<QLabel*>("qt_msgbox_label")->text();
    QTest::keyClick(box, Qt::Key_Return);
  });
  ThrowingReceiver receiver;
  QEvent event(QEvent::User);
  QApplication::sendEvent(&receiver, &event);
  EXPECT_EQ(title, QStringLiteral("Pelorin " PELORIN_VERSION));
  EXPECT_EQ(text, QStringLiteral("Soubor nelze otevřít."));

  dealSeed(0);
  releaseOn({14, 0});
  EXPECT_EQ(scoreCaption(), QStringLiteral("36"));
}

}  // namespace
}  // namespace pelorin::testing
