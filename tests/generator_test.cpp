#include "game/Generator.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace pelorin {
namespace {

TEST(Generator, SequenceFromSeedZero) {
  GameState game;
  game.randomState = 0;
  EXPECT_EQ(nextRandom(game), 0);  // the value seedRandom throws away
  seedRandom(game, 0);
  EXPECT_EQ(nextRandom(game), 346);
  EXPECT_EQ(nextRandom(game), 130);
  EXPECT_EQ(nextRandom(game), 10982);
  EXPECT_EQ(nextRandom(game), 1090);
}

TEST(Generator, SeedOneRunsOneStepBehindSeedZero) {
  GameState game;
  game.randomState = 1;
  EXPECT_EQ(nextRandom(game), 346);
  seedRandom(game, 1);
  EXPECT_EQ(nextRandom(game), 130);
}

TEST(Generator, ValuesNeverUseBit31) {
  GameState game;
  seedRandom(game, 0xDEADBEEF);
  for (int i = 0; i < 100000; ++i) {
    const auto value = nextRandom(game);
    ASSERT_GE(value, 0);
    ASSERT_LE(value, 32767);
  }
}

TEST(Deal, SeedZeroStartsBlueBlueBrownBlue) {
  GameState game;
  dealBoard(game, 0);
  EXPECT_EQ(game.cell(0, 0), Blue);
  EXPECT_EQ(game.cell(1, 0), Blue);
  EXPECT_EQ(game.cell(2, 0), Brown);
  EXPECT_EQ(game.cell(3, 0), Blue);
}

TEST(Deal, FillsRowsTopDownEachFromTheLeft) {
  GameState game;
  dealBoard(game, 12345);
  GameState reference;
  seedRandom(reference, 12345);
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kColumns; ++x) {
      ASSERT_EQ(game.cell(x, y), nextRandom(reference) % 3 + 1) << x << "," << y;
    }
  }
}

TEST(Deal, SameSeedSameBoardAndNoEmptyCell) {
  GameState first;
  GameState second;
  second.board.fill(Yellow);
  dealBoard(first, 1700000000u);
  dealBoard(second, 1700000000u);
  EXPECT_EQ(first.board, second.board);
  EXPECT_EQ(std::count(first.board.begin(), first.board.end(), Empty), 0);
  dealBoard(second, 1700000001u);
  EXPECT_NE(first.board, second.board);
}

TEST(Deal, NewGameResetsScoreAndEnd) {
  GameState game;
  game.score = 250;
  game.finished = true;
  newGame(game, 7);
  EXPECT_EQ(game.score, 0);
  EXPECT_FALSE(game.finished);
  GameState reference;
  dealBoard(reference, 7);
  EXPECT_EQ(game.board, reference.board);
}

TEST(BoardModel, IndexRule) {
  EXPECT_EQ(cellIndex(24, 8), 224);
  EXPECT_EQ(cellIndex(0, 1), 25);
  EXPECT_EQ(cellIndex(24, 0), 24);
  GameState game;
  EXPECT_EQ(game.cellCount, 225);
}

}  // namespace
}  // namespace pelorin
