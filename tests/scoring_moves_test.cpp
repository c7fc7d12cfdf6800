#include <gtest/gtest.h>

#include "game/MoveDetection.h"
#include "game/Scoring.h"
#include "tests/board_builder.h"

namespace pelorin {
namespace {

using testing::boardFromPicture;

TEST(Scoring, PointsTable) {
  const std::pair<int, int> table[] = {{2, 3},    {3, 6},    {4, 10},     {5, 15},  {6, 21},
                                       {7, 28},   {8, 36},   {9, 45},     {10, 55}, {15, 120},
                                       {20, 210}, {30, 465}, {225, 25425}};
  for (auto [balls, points] : table) EXPECT_EQ(pointsFor(balls), points) << balls;
}

TEST(Scoring, RemovalsAddUp) {
  GameState game;
  addScore(game, 10);
  EXPECT_EQ(game.score, 55);
  addScore(game, 2);
  EXPECT_EQ(game.score, 58);
  addScore(game, 0);
  EXPECT_EQ(game.score, 58);
}

TEST(MoveDetection, EmptyAndSingleBall) {
  GameState game;
  EXPECT_EQ(hasMove(game), 0);
  game = boardFromPicture({"Y"});
  EXPECT_EQ(hasMove(game), 0);
}

TEST(MoveDetection, VerticalAndHorizontalPairs) {
  GameState game = boardFromPicture({"Y", "Y"});
  EXPECT_EQ(hasMove(game), 1);
  game = boardFromPicture({"BHHY"});
  EXPECT_EQ(hasMove(game), 1);
}

TEST(MoveDetection, DiagonalOrGappedNeighboursAreNoMove) {
  GameState game = boardFromPicture({"YB", "BY"});
  EXPECT_EQ(hasMove(game), 0);
  game = boardFromPicture({"Y.Y", "BHB"});
  EXPECT_EQ(hasMove(game), 0);
}

TEST(MoveDetection, FullBoardWithoutPairsAndWithOnePairInTheLastCell) {
  GameState game = testing::boardWithoutMoves();
  EXPECT_EQ(hasMove(game), 0);
  game.cell(23, 8) = game.cell(24, 8);
  EXPECT_EQ(hasMove(game), 1);
}

}  // namespace
}  // namespace pelorin
