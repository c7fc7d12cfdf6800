#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QClipboard>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLineEdit>
#include <QPushButton>

#include "scores/rules/RecordScore.h"
#include "tests/disk_table_driver.h"
#include "scores/rules/ScoreFormat.h"
#include "tests/ui/window_fixture.h"
#include "ui/Skore.h"

namespace pelorin::testing {
namespace {

QByteArray fileBytes(const QString& path) {
  QFile file(path);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QLabel* tableLabel(int number) {
  return frmSkore->findChild<QLabel*>(QStringLiteral("Label%1").arg(number));
}

using NameAndFileHazards = WindowTest;

TEST_F(NameAndFileHazards, ControlCharactersTypedOrPastedNeverReachTheFile) {
  showLastBalls("HH", 5000);
  QString fieldText;
  answerNextModal([&](QWidget* dialog) {
    auto* edit = dialog->findChild<QLineEdit*>("Edit1");
    edit->clear();
    edit->setFocus();
    typeText(edit, QStringLiteral("Ja\x01n"));
    QGuiApplication::clipboard()->setText(QStringLiteral("\tK\nu\rb\x1A\x7F\u0085\u009F a"));
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    fieldText = edit->text();
    answerNextModal([](QWidget* table) { QTest::keyClick(table, Qt::Key_Escape); });
    QTest::keyClick(edit, Qt::Key_Return);
  });
  releaseOn({0, 8});
  EXPECT_EQ(fieldText, QStringLiteral("JanKub a"));
  const QByteArray bytes = fileBytes(scoreFile());
  ASSERT_EQ(bytes.size(), 220);
  EXPECT_EQ(bytes.left(20), QByteArray("JanKub a").leftJustified(20, '\0'));
  EXPECT_EQ(tableLabel(1)->text(), QStringLiteral("JanKub a"));
}

TEST_F(NameAndFileHazards, ControlCharactersReadFromTheFileShowAsQuestionMarks) {
  ScoreTable table = defaultScoreTable();
  setName(table, 0, "A\nB\tC\x7F" "D\x01");
  setName(table, 1, "Ok\x81");  // a byte Windows-1250 leaves undefined
  const ScoreFileBytes bytes = encodeScores(table);
  QFile file(scoreFile());
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<qint64>(bytes.size()));
  file.close();
  showScores();
  EXPECT_EQ(tableLabel(1)->text(), QStringLiteral("A?B?C?D?"));
  EXPECT_FALSE(tableLabel(2)->text().contains(QChar(0x81)));
}

// Another game records its result while this player is still typing a name.
TEST_F(NameAndFileHazards, AResultRecordedMeanwhileByAnotherGameIsKept) {
  showLastBalls("HH", 3000);
  answerNextModal([&](QWidget* dialog) {
    ScoreTable other;
    ASSERT_TRUE(recordResult(directory_.path().toStdString(), 4000, "Other game", other));
    auto* edit = dialog->findChild<QLineEdit*>("Edit1");
    edit->clear();
    typeText(edit, QStringLiteral("This game"));
    answerNextModal([](QWidget* table) { QTest::keyClick(table, Qt::Key_Escape); });
    QTest::keyClick(edit, Qt::Key_Return);
  });
  releaseOn({0, 8});
  ScoreTable expected = defaultScoreTable();
  setName(expected, *insertScore(expected, 4000), "Other game");
  setName(expected, *insertScore(expected, 3000 + 503), "This game");
  const ScoreFileBytes bytes = encodeScores(expected);
  EXPECT_EQ(fileBytes(scoreFile()),
            QByteArray(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  EXPECT_EQ(tableLabel(1)->text(), QStringLiteral("Other game"));
  EXPECT_EQ(tableLabel(2)->text(), QStringLiteral("This game"));
}

TEST_F(NameAndFileHazards, APipeSwappedInWhileTheDialogIsOpenDoesNotHangTheGame) {
  // A game blocked in an open would never get back to its event loop: the alarm ends it.
  alarm(20);
  showLastBalls("HH", 5000);
  QElapsedTimer sinceAnswer;
  bool tableShown = false;
  answerNextModal([&](QWidget* dialog) {
    const QByteArray path = QFile::encodeName(scoreFile());
    ASSERT_EQ(::unlink(path.constData()), 0);
    ASSERT_EQ(::mkfifo(path.constData(), 0666), 0);
    answerNextModal([&](QWidget* table) {
      tableShown = true;
      QTest::keyClick(table, Qt::Key_Escape);
    });
    sinceAnswer.start();
    QTest::keyClick(dialog, Qt::Key_Return);
  });
  releaseOn({0, 8});
  const qint64 answeredAfter = sinceAnswer.elapsed();
  alarm(0);
  EXPECT_TRUE(tableShown);
  EXPECT_LT(answeredAfter, 1000) << "the game must answer within a second";
  struct stat info {};
  ASSERT_EQ(::lstat(QFile::encodeName(scoreFile()).constData(), &info), 0);
  EXPECT_TRUE(S_ISFIFO(info.st_mode)) << "the pipe is left as it is";
}

}  // namespace
}  // namespace pelorin::testing
