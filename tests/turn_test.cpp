#include "game/Turn.h"

#include <gtest/gtest.h>

#include "game/Generator.h"
#include "tests/board_builder.h"

namespace pelorin {
namespace {

using testing::boardFromPicture;

TEST(CellAtPixel, EdgesOfTheImage) {
  EXPECT_EQ(cellAtPixel(0, 0), (Cell{0, 0}));
  EXPECT_EQ(cellAtPixel(15, 15), (Cell{0, 0}));
  EXPECT_EQ(cellAtPixel(16, 0), (Cell{1, 0}));
  EXPECT_EQ(cellAtPixel(399, 143), (Cell{24, 8}));
  for (auto [x, y] : {std::pair{-1, 0}, {0, -1}, {400, 0}, {0, 144}, {-16, -16}, {100000, 5}}) {
    EXPECT_FALSE(cellAtPixel(x, y).has_value()) << x << "," << y;
  }
}

TEST(Turn, RemovesAGroupAndScoresIt) {
  GameState game = boardFromPicture({"B", "YYYH", "BBHB"});
  const TurnResult result = playTurn(game, {1, 7});
  EXPECT_TRUE(result.played);
  EXPECT_EQ(result.groupSize, 3);
  EXPECT_EQ(result.points, 6);
  EXPECT_EQ(game.score, 6);
  EXPECT_EQ(game.groupSize, 3);
  EXPECT_FALSE(result.gameOver);
  EXPECT_EQ(testing::picture(game.board),
            testing::picture(boardFromPicture({"B..H", "BBHB"}).board));
}

TEST(Turn, EmptyCellAndLoneBallChangeNothing) {
  GameState game = boardFromPicture({"YY", "BH"});
  const Grid before = game.board;
  TurnResult result = playTurn(game, {20, 0});
  EXPECT_EQ(result.groupSize, 0);
  EXPECT_EQ(game.groupSize, 0);
  EXPECT_EQ(game.board, before);
  EXPECT_FALSE(result.gameOver);

  result = playTurn(game, {0, 8});
  EXPECT_EQ(result.groupSize, 1);
  EXPECT_EQ(result.points, 0);
  EXPECT_EQ(game.score, 0);
  EXPECT_EQ(game.board, before);
  EXPECT_FALSE(result.gameOver);
}

TEST(Turn, ClearingTheBoardAddsTheBonusAndEndsTheGame) {
  GameState game = boardFromPicture({"YYYY"});
  game.score = 100;
  const TurnResult result = playTurn(game, {3, 8});
  EXPECT_EQ(result.points, 10);
  EXPECT_TRUE(result.cleared);
  EXPECT_TRUE(result.gameOver);
  EXPECT_EQ(game.score, 610);
}

TEST(Turn, LastMoveLeavingNoPairEndsTheGame) {
  GameState game = boardFromPicture({"YBBH"});
  const TurnResult result = playTurn(game, {1, 8});
  EXPECT_EQ(result.points, 3);
  EXPECT_FALSE(result.cleared);
  EXPECT_TRUE(result.gameOver);
  EXPECT_EQ(game.score, 3);
}

TEST(Turn, AnEndedGameIsReportedOnceUntilANewDeal) {
  GameState game = boardFromPicture({"YY"});
  ASSERT_TRUE(playTurn(game, {0, 8}).gameOver);
  EXPECT_EQ(game.score, 503);
  for (int i = 0; i < 3; ++i) {
    const TurnResult again = playTurn(game, {0, 8});
    EXPECT_FALSE(again.played);
    EXPECT_FALSE(again.gameOver);
  }
  EXPECT_EQ(game.score, 503);  // no bonus for clicks on the empty board

  newGame(game, 0);
  EXPECT_TRUE(playTurn(game, {14, 0}).played);
}

TEST(Turn, OffBoardCellIsIgnored) {
  GameState game;
  dealBoard(game, 5);
  const GameState before = game;
  for (Cell cell : {Cell{-1, 0}, Cell{25, 0}, Cell{0, 9}, Cell{0, -1}}) {
    EXPECT_FALSE(playTurn(game, cell).played);
  }
  EXPECT_EQ(game.board, before.board);
  EXPECT_EQ(game.marks, before.marks);
}

TEST(Turn, SeedZeroFirstRemovalScoresTheMarkedEight) {
  GameState game;
  newGame(game, 0);
  const TurnResult result = playTurn(game, {14, 0});
  EXPECT_EQ(result.groupSize, 8);
  EXPECT_EQ(game.score, 36);
  int balls = 0;
  for (auto c : game.board) balls += c != Empty;
  EXPECT_EQ(balls, kCells - 8);
}

}  // namespace
}  // namespace pelorin
