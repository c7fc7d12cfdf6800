#include <QAbstractButton>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionButton>
#include <algorithm>
#include <cstdlib>
#include <initializer_list>

#include "tests/ui/window_fixture.h"
#include "ui/BoardView.h"
#include "ui/Jmeno.h"
#include "ui/Skore.h"

namespace pelorin::testing {
namespace {

class ButtonKeys : public WindowTest, public ::testing::WithParamInterface<Qt::Key> {
 protected:
  QPushButton* focus(const char* name) {
    auto* button = control<QPushButton>(name);
    frmMain->activateWindow();
    QApplication::setActiveWindow(frmMain);
    button->setFocus();
    EXPECT_TRUE(button->hasFocus()) << name;
    return button;
  }
  void press(QWidget* button) {
    const auto modifiers = GetParam() == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
    QTest::keyClick(button, GetParam(), modifiers);
  }
};

TEST_P(ButtonKeys, NewGameDealsAFreshBoardAndResetsTheScore) {
  dealSeed(0);
  releaseOn({14, 0});
  ASSERT_NE(gameState.score, 0);
  press(focus("btnNovaHra"));
  EXPECT_EQ(gameState.score, 0);
  EXPECT_EQ(scoreCaption(), QStringLiteral("0"));
  for (auto cell : gameState.board) ASSERT_NE(cell, Empty);
}

TEST_P(ButtonKeys, BestScoresOpensTheTable) {
  const auto opened = answerNextModal([](QWidget* window) {
    EXPECT_EQ(window, frmSkore);
    QTest::keyClick(window, Qt::Key_Escape);
  });
  press(focus("btnNejlepsiSkore"));
  EXPECT_TRUE(*opened);
  EXPECT_FALSE(frmSkore->isVisible());
}

TEST_P(ButtonKeys, QuitEndsTheEventLoop) {
  // quit() only takes effect inside a running loop: run one that the key must end.
  QTimer::singleShot(0, [&] { press(focus("btnKonec")); });
  QTimer::singleShot(3000, qApp, [] { QCoreApplication::exit(); });  // the key failed: end anyway
  QElapsedTimer timer;
  timer.start();
  QApplication::exec();
  EXPECT_LT(timer.elapsed(), 2500) << "the key did not end the loop";
}

INSTANTIATE_TEST_SUITE_P(ReturnAndKeypadEnter, ButtonKeys,
                         ::testing::Values(Qt::Key_Return, Qt::Key_Enter));

// Where a label's text ends, measured with the face the label really draws with.
int textRight(const QLabel* label) {
  const QFontMetrics metrics(label->font());
  const QRect ink = metrics.boundingRect(label->text());
  return label->x() + label->contentsMargins().left() + label->margin() +
         std::max(metrics.horizontalAdvance(label->text()), ink.right() + 1);
}

// The faces a fresh Linux desktop has. Qt's offscreen platform on Windows has no font
// database, so its metrics measure nothing there.
class LabelExtents : public WindowTest {
 protected:
  void SetUp() override {
#ifdef _WIN32
    GTEST_SKIP() << "no font database on the offscreen platform under Windows";
#endif
    WindowTest::SetUp();
  }
};

TEST_F(LabelExtents, NameDialogTextsStayApartAtEveryScoreLength) {
  auto* label2 = frmJmeno->findChild<QLabel*>("Label2");
  auto* label3 = frmJmeno->findChild<QLabel*>("Label3");
  auto* label4 = frmJmeno->findChild<QLabel*>("Label4");
  auto* edit = frmJmeno->findChild<QLineEdit*>("Edit1");
  EXPECT_TRUE(label3->font().bold());
  for (const std::int32_t score : {0, 7, 1011, 65535, -2147483647 - 1}) {
    frmJmeno->setScore(score);
    EXPECT_LT(textRight(label2), label3->x())
        << "\"" << label2->text().toStdString() << "\" runs into " << score;
    EXPECT_GE(label3->x(), 80) << "the score moved left of its place";
    EXPECT_LE(textRight(label3), frmJmeno->width()) << score << " is cut off";
  }
  EXPECT_GE(label3->x() - textRight(label2), 6) << "the laid-out gap is kept";
  EXPECT_LT(textRight(label4), edit->x());
}

TEST_F(LabelExtents, ScoreRowsAndStatusBarTextsStayApart) {
  frmSkore->showTable(defaultScoreTable());
  for (int row = 1; row <= 10; ++row) {
    auto* name = frmSkore->findChild<QLabel*>(QStringLiteral("Label%1").arg(row));
    auto* score = frmSkore->findChild<QLabel*>(QStringLiteral("Label%1").arg(row + 10));
    EXPECT_LT(name->geometry().right(), score->x()) << "row " << row;
  }
  auto* info = control<QLabel>("labelInfo");
  auto* link = control<QLabel>("labelHomepage");
  EXPECT_LT(textRight(info), link->x());
}

}  // namespace
}  // namespace pelorin::testing

namespace pelorin::testing {
namespace {

// Twice the distance between the centres of a window's frame and of its desktop.
QPoint doubledOffCentre(const QWidget& window) {
  const QRect desktop = window.screen()->availableGeometry();
  const QRect frame = window.frameGeometry();
  return QPoint(2 * frame.x() + frame.width() - 2 * desktop.x() - desktop.width(),
                2 * frame.y() + frame.height() - 2 * desktop.y() - desktop.height());
}

class Centring : public WindowTest {};

TEST_F(Centring, MainWindowOpensCentredAndStaysWhereTheUserPutsIt) {
  const QPoint off = doubledOffCentre(*frmMain);
  EXPECT_LE(std::abs(off.x()), 1);
  EXPECT_LE(std::abs(off.y()), 1);
  frmMain->move(10, 20);
  QApplication::processEvents();
  EXPECT_EQ(frmMain->pos(), QPoint(10, 20));
}

TEST_F(Centring, ScoreTableIsCentredOnEveryShowingEvenAfterAMove) {
  for (int showing = 0; showing < 2; ++showing) {
    QPoint off;
    const auto opened = answerNextModal([&](QWidget* window) {
      off = doubledOffCentre(*window);
      window->move(5, 5);  // the player drags it aside before closing it
      QTest::keyClick(window, Qt::Key_Escape);
    });
    QTest::mouseClick(control<QPushButton>("btnNejlepsiSkore"), Qt::LeftButton);
    ASSERT_TRUE(*opened);
    EXPECT_LE(std::abs(off.x()), 1) << "showing " << showing;
    EXPECT_LE(std::abs(off.y()), 1) << "showing " << showing;
  }
}

// The faces the texts are drawn in, as the platform's own font database resolves them, and the
// room they have there. Qt's offscreen platform on Windows has no font database: there the test
// runs on the Windows platform.
class Faces : public ::testing::Test {
 protected:
  void SetUp() override {
#ifdef _WIN32
    if (QGuiApplication::platformName() != QStringLiteral("windows"))
      GTEST_SKIP() << "no font database on the offscreen platform under Windows";
#endif
    createWindows();
  }
  void TearDown() override { destroyWindows(); }
};

// The face the font database gives a font that names no face it has.
QString faceOfKind(QFont::StyleHint kind) {
  QFont font(QStringLiteral("No Such Face"));
  font.setStyleHint(kind);
  return QFontInfo(font).family();
}

// The faces a text laid out in `laidOut` may be drawn in, best first.
QStringList facesFor(const QString& laidOut) {
#ifdef _WIN32
  // Windows draws the bitmap dialog face a strike too large: its TrueType successor stands in.
  if (laidOut == QStringLiteral("MS Sans Serif")) return {"Microsoft Sans Serif", "Tahoma"};
  return {laidOut, "Tahoma"};
#else
  return {laidOut};
#endif
}

// The width a control has for its text.
int roomForText(QWidget& control) {
  if (auto* button = qobject_cast<QAbstractButton*>(&control)) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    return button->style()->subElementRect(QStyle::SE_PushButtonContents, &option, button).width();
  }
  return control.contentsRect().width();
}

TEST_F(Faces, TextsAreInTheirLaidOutFaceOrAStandInAndFitTheirControls) {
  const QString serif = faceOfKind(QFont::Serif);
  int texts = 0;
  for (QWidget* window : std::initializer_list<QWidget*>{frmMain, frmSkore, frmJmeno}) {
    for (QWidget* text : window->findChildren<QWidget*>()) {
      if (!qobject_cast<QLabel*>(text) && !qobject_cast<QAbstractButton*>(text) &&
          !qobject_cast<QLineEdit*>(text))
        continue;
      ++texts;
      // Every text but the score panel's is laid out in the dialog face at 8 points.
      const bool dialog = text->objectName() != QStringLiteral("panelScore");
      const QString laidOut = dialog ? QStringLiteral("MS Sans Serif") : QStringLiteral("Arial");
      EXPECT_EQ(text->font().pointSize(), dialog ? 8 : 10) << text->objectName().toStdString();
      // The first of these that the system has; with none, any face but the serif one.
      const QStringList faces = facesFor(laidOut);
      const auto installed = std::find_if(faces.begin(), faces.end(), [](const QString& face) {
        return QFontDatabase::hasFamily(face);
      });
      const std::string resolved = QFontInfo(text->font()).family().toStdString();
      const std::string where = text->objectName().toStdString() + " in " +
                                window->objectName().toStdString() + ", laid out in " +
                                laidOut.toStdString();
      if (installed != faces.end())
        EXPECT_EQ(resolved, installed->toStdString()) << where;
      else
        EXPECT_NE(resolved, serif.toStdString()) << where;

      QString caption;
      if (auto* label = qobject_cast<QLabel*>(text)) caption = label->text();
      if (auto* button = qobject_cast<QAbstractButton*>(text)) caption = button->text();
      if (!text->isHidden()) {
        EXPECT_LE(QFontMetrics(text->font()).horizontalAdvance(caption), roomForText(*text))
            << where << ": \"" << caption.toStdString() << "\" is wider than its control";
      }
    }
  }
  EXPECT_GE(texts, 40);
}

}  // namespace
}  // namespace pelorin::testing
