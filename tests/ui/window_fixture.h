#pragma once

#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <string_view>

#include "game/Turn.h"
#include "platform/ExeDir.h"
#include "ui/BoardView.h"
#include "ui/Hlavni.h"
#include "ui/Startup.h"

namespace pelorin::testing {

// Creates the three windows as start-up does, with the executable's directory moved to a
// fresh temporary directory so that no test touches a real score file.
class WindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(directory_.isValid());
    createWindows();
    setExeDir(QDir(directory_.path()).filesystemPath());
    // The player's own place for a table, away from the real one.
    qputenv("XDG_STATE_HOME", ownPlace_.path().toLocal8Bit());
    frmMain->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(frmMain));
  }
  void TearDown() override {
    destroyWindows();
    QDir::setCurrent(QDir::tempPath());  // let the temporary directory go
  }

  template <typename Control>
  Control* control(const char* name) const {
    auto* found = frmMain->findChild<Control*>(QString::fromLatin1(name));
    EXPECT_NE(found, nullptr) << name;
    return found;
  }
  BoardView* board() const { return control<BoardView>("imgHra"); }
  QString scoreCaption() const { return control<QLabel>("panelScore")->text(); }
  QString scoreFile() const { return directory_.filePath(QStringLiteral("pelorin.sco")); }

  static QPoint centreOf(Cell cell) {
    return {cell.x * kCellPixels + kCellPixels / 2, cell.y * kCellPixels + kCellPixels / 2};
  }
  void releaseOn(Cell cell, Qt::MouseButton button = Qt::LeftButton,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QTest::mouseClick(board(), button, modifiers, centreOf(cell));
  }

  // Deals a known board into the game and shows it, as "Nová hra" would with that seed.
  void dealSeed(std::uint32_t seed);

  // Shows a board whose bottom row reads `bottomRow` ('Y', 'B', 'H' balls, anything else
  // empty), with `score` already earned: a release on a pair there ends the game.
  void showLastBalls(std::string_view bottomRow, std::int32_t score = 0);

  QTemporaryDir directory_;
  QTemporaryDir ownPlace_;
};

// Runs `action` on the next modal window to open, from a timer inside its event loop.
// Returns a flag that tells afterwards whether one opened.
std::shared_ptr<bool> answerNextModal(std::function<void(QWidget*)> action, int timeoutMs = 5000);

// Types text one key event at a time (QTest::keyClicks cannot send non-ASCII letters).
void typeText(QWidget* widget, const QString& text);

}  // namespace pelorin::testing
