#include "game/Collapse.h"

#include <gtest/gtest.h>

#include "game/Generator.h"
#include "tests/board_builder.h"

namespace pelorin {
namespace {

using testing::boardFromPicture;

GameState fullBoardWithColumnsMarked(std::initializer_list<int> columns) {
  GameState game;
  for (int x = 0; x < kColumns; ++x) {
    // rows 0 to 4 spell the column number in yellow and blue, so every column is unique
    for (int y = 0; y < kRows; ++y) {
      game.cell(x, y) = static_cast<std::uint8_t>(y < 5 ? ((x >> y) & 1) + 1 : Brown);
    }
  }
  for (int x : columns) {
    for (int y = 0; y < kRows; ++y) game.marks[cellIndex(x, y)] = 1;
  }
  return game;
}

TEST(Collapse, BallsFallInOrderToTheBottom) {
  GameState game;
  const std::uint8_t column[] = {Yellow, Empty, Blue, Empty, Empty, Brown, Empty, Empty, Empty};
  for (int y = 0; y < kRows; ++y) game.cell(0, y) = column[y];
  collapseBoard(game);
  for (int y = 0; y < 6; ++y) EXPECT_EQ(game.cell(0, y), Empty);
  EXPECT_EQ(game.cell(0, 6), Yellow);
  EXPECT_EQ(game.cell(0, 7), Blue);
  EXPECT_EQ(game.cell(0, 8), Brown);
}

TEST(Collapse, OneEmptiedColumnClosesUp) {
  GameState game = fullBoardWithColumnsMarked({3});
  const GameState before = game;
  removeMarked(game);
  collapseBoard(game);
  for (int x = 0; x < 24; ++x) {
    const int from = x < 3 ? x : x + 1;
    for (int y = 0; y < kRows; ++y) ASSERT_EQ(game.cell(x, y), before.cell(from, y)) << x;
  }
  for (int y = 0; y < kRows; ++y) EXPECT_EQ(game.cell(24, y), Empty);
  // marks keep the fallen board with the empty column still in its old place
  EXPECT_EQ(game.marks[cellIndex(3, 8)], Empty);
  EXPECT_EQ(game.marks[cellIndex(24, 0)], before.cell(24, 0));
}

TEST(Collapse, TwoEmptiedColumnsCloseUp) {
  GameState game = fullBoardWithColumnsMarked({2, 5});
  const GameState before = game;
  removeMarked(game);
  collapseBoard(game);
  const int from[] = {0,  1,  3,  4,  6,  7,  8,  9,  10, 11, 12, 13,
                      14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 24};
  for (int x = 0; x < 23; ++x) {
    for (int y = 0; y < kRows; ++y) ASSERT_EQ(game.cell(x, y), before.cell(from[x], y));
  }
  for (int x : {23, 24}) EXPECT_EQ(game.cell(x, 8), Empty);
}

TEST(Collapse, EmptyBoardStaysEmptyAndClearsMarks) {
  GameState game;
  game.marks.fill(1);
  collapseBoard(game);
  EXPECT_EQ(game.board, Grid{});
  EXPECT_EQ(game.marks, Grid{});
}

TEST(Collapse, SettledBoardIsUnchangedAndMarksCopyIt) {
  GameState game;
  dealBoard(game, 4242);
  const Grid dealt = game.board;
  collapseBoard(game);
  EXPECT_EQ(game.board, dealt);
  EXPECT_EQ(game.marks, dealt);

  game = boardFromPicture({"Y", "BHYY"});
  const Grid settled = game.board;
  collapseBoard(game);
  EXPECT_EQ(game.board, settled);
}

TEST(Collapse, GapsInsideAColumnAndBetweenColumns) {
  GameState game = boardFromPicture({"Y.B", "...", "H.."});
  collapseBoard(game);
  EXPECT_EQ(testing::picture(game.board), testing::picture(boardFromPicture({"Y.", "HB"}).board));
}

TEST(Removal, EmptiesOnlyMarkedCells) {
  GameState game = boardFromPicture({"YYB"});
  game.marks[cellIndex(0, 8)] = 1;
  game.marks[cellIndex(1, 8)] = 1;
  removeMarked(game);
  EXPECT_EQ(game.cell(0, 8), Empty);
  EXPECT_EQ(game.cell(1, 8), Empty);
  EXPECT_EQ(game.cell(2, 8), Blue);
}

}  // namespace
}  // namespace pelorin
