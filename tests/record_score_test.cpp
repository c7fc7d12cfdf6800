#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "scores/rules/RecordScore.h"
#include "scores/rules/ScoreFormat.h"

namespace pelorin {
namespace {

// Rows named "row0" to "row9", so that every move of a row shows.
ScoreTable namedTable(const std::array<std::int32_t, kScoreRows>& values) {
  ScoreTable table;
  table.scoreValues = values;
  for (int row = 0; row < kScoreRows; ++row) setName(table, row, "row" + std::to_string(row));
  return table;
}

TEST(InsertScore, LowestDefaultScoreStillQualifies) {
  ScoreTable table = defaultScoreTable();
  EXPECT_EQ(insertScore(table, 350), 9);
  EXPECT_EQ(table.scoreValues[9], 350);
  EXPECT_EQ(nameOf(table, 9), "");
  EXPECT_EQ(table.scoreValues[8], 700);
  EXPECT_EQ(nameOf(table, 8), "Quillon Dynamics");
}

TEST(InsertScore, ResultBelowEveryRowLeavesTheTable) {
  ScoreTable table = defaultScoreTable();
  EXPECT_EQ(insertScore(table, 349), std::nullopt);
  EXPECT_EQ(insertScore(table, -1), std::nullopt);  // signed: a negative result is below 350
  EXPECT_EQ(table, defaultScoreTable());
}

TEST(InsertScore, TopResultShiftsEveryRowDown) {
  ScoreTable table = namedTable({3500, 3150, 2800, 2450, 2100, 1750, 1400, 1050, 700, 350});
  EXPECT_EQ(insertScore(table, 3500), 0);
  EXPECT_EQ(table.scoreValues[0], 3500);
  EXPECT_EQ(nameOf(table, 0), "");
  for (int row = 1; row < kScoreRows; ++row) {
    EXPECT_EQ(table.scoreValues[row], 3500 - 350 * (row - 1)) << row;
    EXPECT_EQ(nameOf(table, row), "row" + std::to_string(row - 1)) << row;
  }
}

TEST(InsertScore, TieGoesAboveTheEqualRows) {
  ScoreTable table = namedTable({900, 800, 700, 700, 600, 500, 400, 300, 200, 100});
  EXPECT_EQ(insertScore(table, 700), 2);
  EXPECT_EQ(nameOf(table, 1), "row1");
  EXPECT_EQ(table.scoreValues[3], 700);
  EXPECT_EQ(nameOf(table, 3), "row2");
  EXPECT_EQ(table.scoreValues[4], 700);
  EXPECT_EQ(nameOf(table, 4), "row3");
  EXPECT_EQ(nameOf(table, 9), "row8");
}

TEST(InsertScore, CountsEveryRowInAnUnorderedTable) {
  ScoreTable table = namedTable({5000, 100, 5000, 100, 5000, 100, 5000, 100, 5000, 100});
  EXPECT_EQ(insertScore(table, 200), 5);  // five rows at most 200
  EXPECT_EQ(nameOf(table, 4), "row4");
  EXPECT_EQ(nameOf(table, 6), "row5");
}

TEST(InsertScore, ZeroTopsATableReadFromAnEmptyFile) {
  ScoreTable table;
  decodeScores({}, table);
  EXPECT_EQ(insertScore(table, 0), 0);
  EXPECT_EQ(table.scoreValues[0], 0);
  EXPECT_EQ(nameOf(table, 0), "");
  EXPECT_EQ(table.scoreValues[9], -257);
  EXPECT_EQ(nameOf(table, 9), std::string(20, '\xFF'));
}

TEST(SetName, KeepsAllTwentyBytesOfAFullName) {
  ScoreTable table;
  setName(table, 3, "ABCDEFGHIJKLMNOPQRSTUVWXYZ");
  EXPECT_EQ(nameOf(table, 3), "ABCDEFGHIJKLMNOPQRST");
  EXPECT_EQ(table.scoreNames[3][20], '\0');
  EXPECT_EQ(table.scoreNames[3][21], '\0');
}

TEST(SetName, ShorterNameClearsTheRestOfTheField) {
  ScoreTable table;
  setName(table, 0, "ABCDEFGHIJKLMNOPQRST");
  setName(table, 0, "Jo");
  EXPECT_EQ(nameOf(table, 0), "Jo");
  for (int i = 2; i < kNameFieldSize; ++i) EXPECT_EQ(table.scoreNames[0][i], '\0') << i;
}

TEST(SetName, ZeroByteEndsTheName) {
  ScoreTable table;
  setName(table, 0, std::string_view("Ab\0cd", 5));
  EXPECT_EQ(nameOf(table, 0), "Ab");
  EXPECT_EQ(table.scoreNames[0][3], '\0');
}

}  // namespace
}  // namespace pelorin
