#include <QDialog>
#include <QFile>
#include <QLineEdit>
#include <QPushButton>
#include <vector>

#include "game/Generator.h"
#include "scores/rules/RecordScore.h"
#include "scores/rules/ScoreFormat.h"
#include "tests/ui/window_fixture.h"
#include "ui/Skore.h"

namespace pelorin::testing {
namespace {

// A whole game from a seed, always taking the first cell (in reading order) whose release
// removes a group: the releases to make and the final score, worked out on a copy.
struct PlannedGame {
  std::vector<Cell> releases;
  std::int32_t finalScore = 0;
};

PlannedGame planGame(std::uint32_t seed) {
  PlannedGame plan;
  GameState game;
  newGame(game, seed);
  for (bool over = false; !over;) {
    bool played = false;
    for (int y = 0; y < kRows && !played; ++y) {
      for (int x = 0; x < kColumns && !played; ++x) {
        GameState trial = game;
        const TurnResult result = playTurn(trial, {x, y});
        if (result.groupSize < 2) continue;
        game = trial;
        plan.releases.push_back({x, y});
        over = result.gameOver;
        played = true;
      }
    }
  }
  plan.finalScore = game.score;
  return plan;
}

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray bytesOf(const ScoreTable& table) {
  const ScoreFileBytes bytes = encodeScores(table);
  return QByteArray(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

QLabel* scoreLabel(int number) {
  return frmSkore->findChild<QLabel*>(QStringLiteral("Label%1").arg(number));
}

using EndOfGame = WindowTest;

TEST_F(EndOfGame, AWholeGameEntersTheNameRewritesTheFileAndShowsTheTable) {
  constexpr std::uint32_t kSeed = 1700000000;
  const PlannedGame plan = planGame(kSeed);
  ASSERT_GE(plan.finalScore, 350) << "this seed's game must qualify against the default table";
  dealSeed(kSeed);

  QString dialogScore;
  QString dialogTitle;
  bool scoreWindowShown = false;
  QString firstNameShown;
  // The name dialog opens inside the last release; the score table follows it.
  answerNextModal([&](QWidget* dialog) {
    dialogTitle = dialog->windowTitle();
    dialogScore = dialog->findChild<QLabel*>("Label3")->text();
    auto* edit = dialog->findChild<QLineEdit*>("Edit1");
    edit->setFocus();
    typeText(edit, QStringLiteral("Petr Kůň"));
    answerNextModal([&](QWidget* table) {
      scoreWindowShown = table->windowTitle() == QStringLiteral("Tabulka vítězů");
      firstNameShown = table->findChild<QLabel*>("Label1")->text();
      QTest::keyClick(table, Qt::Key_Escape);
    });
    QTest::keyClick(edit, Qt::Key_Return);
  });
  for (const Cell cell : plan.releases) releaseOn(cell);

  EXPECT_EQ(gameState.score, plan.finalScore);
  EXPECT_EQ(scoreCaption(), QString::number(plan.finalScore));
  EXPECT_EQ(dialogTitle, QStringLiteral("Gratulujeme!"));
  EXPECT_EQ(dialogScore, QString::number(plan.finalScore));
  EXPECT_TRUE(scoreWindowShown);

  ScoreTable expected = defaultScoreTable();
  const auto row = insertScore(expected, plan.finalScore);
  ASSERT_TRUE(row.has_value());
  setName(expected, *row, "Petr K\xF9\xF2");  // Windows-1250 bytes
  EXPECT_EQ(fileBytes(scoreFile()).toHex(' '), bytesOf(expected).toHex(' '));
  if (*row == 0) {
    EXPECT_EQ(firstNameShown, QStringLiteral("Petr Kůň"));
  }
  EXPECT_EQ(scoreLabel(*row + 1)->text(), QStringLiteral("Petr Kůň"));
  EXPECT_EQ(scoreLabel(*row + 11)->text(), QString::number(plan.finalScore));

  // The game has ended: a further release opens nothing and changes nothing.
  const QByteArray before = fileBytes(scoreFile());
  const GameState board = gameState;
  const auto opened =
      answerNextModal([](QWidget* modal) { QTest::keyClick(modal, Qt::Key_Escape); }, 300);
  releaseOn({0, 8});
  releaseOn({24, 0});
  QTest::qWait(400);
  EXPECT_FALSE(*opened);
  EXPECT_EQ(gameState.score, plan.finalScore);
  EXPECT_EQ(gameState.board, board.board);
  EXPECT_EQ(fileBytes(scoreFile()), before);

  // "Nová hra" starts a game that plays again.
  QTest::mouseClick(control<QPushButton>("btnNovaHra"), Qt::LeftButton);
  EXPECT_EQ(scoreCaption(), QStringLiteral("0"));
}

TEST_F(EndOfGame, ClearingTheBoardShowsTheBonusBeforeTheDialog) {
  showLastBalls("YY", 100);
  QString panelDuringDialog;
  answerNextModal([&](QWidget* dialog) {
    panelDuringDialog = scoreCaption();
    answerNextModal([](QWidget* table) { QTest::keyClick(table, Qt::Key_Escape); });
    QTest::keyClick(dialog, Qt::Key_Escape);  // no name typed: an empty name is recorded
  });
  releaseOn({0, 8});
  EXPECT_EQ(gameState.score, 603);
  EXPECT_EQ(panelDuringDialog, QStringLiteral("603"));
  ScoreTable expected = defaultScoreTable();
  const auto row = insertScore(expected, 603);
  ASSERT_EQ(row, 9);
  EXPECT_EQ(fileBytes(scoreFile()), bytesOf(expected));
  EXPECT_EQ(scoreLabel(10)->text(), QString());
  EXPECT_EQ(scoreLabel(20)->text(), QStringLiteral("603"));
}

TEST_F(EndOfGame, AResultBelowTheTableShowsOnlyTheTable) {
  showLastBalls("YYB");
  QString title;
  answerNextModal([&](QWidget* modal) {
    title = modal->windowTitle();
    QTest::keyClick(modal, Qt::Key_Return);
  });
  releaseOn({0, 8});
  EXPECT_EQ(gameState.score, 3);
  EXPECT_EQ(title, QStringLiteral("Tabulka vítězů"));
  EXPECT_EQ(fileBytes(scoreFile()), bytesOf(defaultScoreTable())) << "only the default was written";
}

TEST_F(EndOfGame, TwentyCharacterNamesKeepEveryCharacterAndForeignLettersBecomeQuestionMarks) {
  const QString names[] = {QStringLiteral("Přemysl Otakar Druhý"), QStringLiteral("Jan 李")};
  const char* stored[] = {
      "P\xF8"
      "emysl Otakar Druh\xFD",
      "Jan ?"};
  for (int i = 0; i < 2; ++i) {
    showLastBalls("HH", 5000);
    answerNextModal([&](QWidget* dialog) {
      auto* edit = dialog->findChild<QLineEdit*>("Edit1");
      edit->clear();
      typeText(edit, names[i]);
      if (names[i].size() == 20) typeText(edit, QStringLiteral("xyz"));  // past the field's end
      answerNextModal([](QWidget* table) { QTest::keyClick(table, Qt::Key_Escape); });
      QTest::mouseClick(dialog->findChild<QPushButton*>("Button1"), Qt::LeftButton);
    });
    releaseOn({0, 8});
    const QByteArray bytes = fileBytes(scoreFile());
    ASSERT_EQ(bytes.size(), 220);
    EXPECT_EQ(bytes.left(20), QByteArray(stored[i]).leftJustified(20, '\0', true)) << i;
    EXPECT_EQ(scoreLabel(1)->text(), i == 0 ? names[0] : QStringLiteral("Jan ?"));
  }
}

TEST_F(EndOfGame, TheNameDialogRemembersTheLastNameAndShowsTheNewScore) {
  for (std::int32_t score : {4000, 4100}) {
    showLastBalls("BB", score - 503);
    QString shownName;
    QString shownScore;
    answerNextModal([&](QWidget* dialog) {
      auto* edit = dialog->findChild<QLineEdit*>("Edit1");
      shownName = edit->text();
      shownScore = dialog->findChild<QLabel*>("Label3")->text();
      if (shownName.isEmpty()) typeText(edit, QStringLiteral("Hana"));
      answerNextModal([](QWidget* table) { QTest::keyClick(table, Qt::Key_Escape); });
      QTest::keyClick(dialog, Qt::Key_Return);
    });
    releaseOn({0, 8});
    EXPECT_EQ(shownScore, QString::number(score));
    EXPECT_EQ(shownName, score == 4000 ? QString() : QStringLiteral("Hana"));
  }
  EXPECT_EQ(scoreLabel(1)->text(), QStringLiteral("Hana"));
  EXPECT_EQ(scoreLabel(2)->text(), QStringLiteral("Hana"));
  EXPECT_EQ(scoreLabel(11)->text(), QStringLiteral("4100"));
}

}  // namespace
}  // namespace pelorin::testing
