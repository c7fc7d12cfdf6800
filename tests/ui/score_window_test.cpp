#include <QDir>
#include <QFile>
#include <QPushButton>

#include "scores/rules/RecordScore.h"
#include "scores/rules/ScoreFormat.h"
#include "tests/ui/window_fixture.h"
#include "ui/Skore.h"

namespace pelorin::testing {
namespace {

class ScoreWindow : public WindowTest {
 protected:
  // Presses "Nejlepší skóre" and reads the table off the window before closing it with `key`.
  QStringList showAndRead(int key = Qt::Key_Escape) {
    QStringList captions;
    const auto opened = answerNextModal([&](QWidget* window) {
      for (int number = 1; number <= 20; ++number) {
        captions << window->findChild<QLabel*>(QStringLiteral("Label%1").arg(number))->text();
      }
      if (key == 0) {
        QTest::mouseClick(window->findChild<QPushButton*>("Button1"), Qt::LeftButton);
      } else {
        QTest::keyClick(window, static_cast<Qt::Key>(key));
      }
    });
    QTest::mouseClick(control<QPushButton>("btnNejlepsiSkore"), Qt::LeftButton);
    EXPECT_TRUE(*opened);
    EXPECT_FALSE(frmSkore->isVisible());
    return captions;
  }
  void writeFile(const QByteArray& bytes) {
    QFile file(scoreFile());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
  }
};

TEST_F(ScoreWindow, FirstDisplayCreatesTheDefaultTable) {
  const QStringList captions = showAndRead();
  ASSERT_EQ(captions.size(), 20);
  for (int row = 0; row < 10; ++row) {
    EXPECT_EQ(captions[row], QStringLiteral("Quillon Dynamics"));
    EXPECT_EQ(captions[row + 10], QString::number(350 * (10 - row)));
  }
  EXPECT_EQ(QFile(scoreFile()).size(), 220);
  EXPECT_EQ(QDir::currentPath(), QDir(exeDir()).absolutePath()) << "the file is looked up there";
}

TEST_F(ScoreWindow, LayoutOfTheWindow) {
  showAndRead();
  EXPECT_EQ(frmSkore->windowTitle(), QStringLiteral("Tabulka vítězů"));
  EXPECT_EQ(frmSkore->size(), QSize(257, 201));
  for (int row = 0; row < 10; ++row) {
    auto* name = frmSkore->findChild<QLabel*>(QStringLiteral("Label%1").arg(row + 1));
    auto* score = frmSkore->findChild<QLabel*>(QStringLiteral("Label%1").arg(row + 11));
    EXPECT_EQ(name->geometry(), QRect(8, 8 + 16 * row, 149, 13));
    EXPECT_EQ(score->geometry(), QRect(164, 8 + 16 * row, 85, 13));
    EXPECT_TRUE(score->alignment() & Qt::AlignRight);
    EXPECT_TRUE(score->font().bold());
    EXPECT_FALSE(name->font().bold());
  }
  EXPECT_EQ(frmSkore->findChild<QPushButton*>("Button1")->geometry(), QRect(84, 172, 89, 25));
}

TEST_F(ScoreWindow, ButtonEnterEscapeAndCloseAllHideIt) {
  for (int key : {0, int(Qt::Key_Return), int(Qt::Key_Enter), int(Qt::Key_Escape)}) {
    EXPECT_EQ(showAndRead(key).size(), 20) << key;
  }
  const auto opened = answerNextModal([](QWidget* window) { window->close(); });
  QTest::mouseClick(control<QPushButton>("btnNejlepsiSkore"), Qt::LeftButton);
  EXPECT_TRUE(*opened);
  EXPECT_FALSE(frmSkore->isVisible());
}

TEST_F(ScoreWindow, AnEmptyFileShowsItsMissingBytes) {
  writeFile({});
  const QStringList captions = showAndRead();
  EXPECT_EQ(captions[0], QString(20, QChar(0x02D9))) << "byte 255 is the dot above";
  EXPECT_EQ(captions[10], QStringLiteral("-257"));
  EXPECT_EQ(QFile(scoreFile()).size(), 0) << "an existing file is not replaced";
}

TEST_F(ScoreWindow, NamesAreShownLiterallyNeverAsMarkup) {
  ScoreTable table = defaultScoreTable();
  setName(table, 0, "<img src=/etc/x>");
  setName(table, 1, "<b>tu\xE8</b>");
  setName(table, 2, "");
  const ScoreFileBytes bytes = encodeScores(table);
  writeFile(QByteArray(reinterpret_cast<const char*>(bytes.data()), bytes.size()));
  const QStringList captions = showAndRead();
  EXPECT_EQ(captions[0], QStringLiteral("<img src=/etc/x>"));
  EXPECT_EQ(captions[1], QStringLiteral("<b>tuč</b>"));
  EXPECT_EQ(captions[2], QString());
  EXPECT_EQ(captions[12], QStringLiteral("2800")) << "an empty name keeps its score";
  for (QLabel* label : frmSkore->findChildren<QLabel*>()) {
    EXPECT_EQ(label->textFormat(), Qt::PlainText) << label->objectName().toStdString();
  }
}

TEST_F(ScoreWindow, AnUnreadableFileShowsTheDefaultTableNeverTheLaidOutCaptions) {
  ASSERT_TRUE(QDir(exeDir()).mkdir(QStringLiteral("pelorin.sco")));
  const QStringList captions = showAndRead();
  for (int row = 0; row < 10; ++row) {
    EXPECT_EQ(captions[row], QStringLiteral("Quillon Dynamics"));
    EXPECT_EQ(captions[row + 10], QString::number(350 * (10 - row)));
  }
  EXPECT_TRUE(QFileInfo(scoreFile()).isDir()) << "nothing replaced the directory";
}

TEST_F(ScoreWindow, AFileThatBecomesUnreadableKeepsTheLastTableShown) {
  showAndRead();
  QFile::remove(scoreFile());
  ASSERT_TRUE(QDir(exeDir()).mkdir(QStringLiteral("pelorin.sco")));
  const QStringList captions = showAndRead();
  EXPECT_EQ(captions[0], QStringLiteral("Quillon Dynamics"));
  EXPECT_EQ(captions[19], QStringLiteral("350"));
}

TEST_F(ScoreWindow, GameEndWithUnreadableFileShowsNoNameDialog) {
  ASSERT_TRUE(QDir(exeDir()).mkdir(QStringLiteral("pelorin.sco")));
  showLastBalls("YY", 9000);
  QString title;
  answerNextModal([&](QWidget* modal) {
    title = modal->windowTitle();
    QTest::keyClick(modal, Qt::Key_Escape);
  });
  releaseOn({1, 8});
  EXPECT_EQ(title, QStringLiteral("Tabulka vítězů")) << "the result is not offered";
  EXPECT_TRUE(QFileInfo(scoreFile()).isDir());
}

}  // namespace
}  // namespace pelorin::testing
