#include <gtest/gtest.h>

#include <array>

#include "game/Generator.h"
#include "game/GroupSearch.h"
#include "tests/board_builder.h"

namespace pelorin {
namespace {

using testing::boardFromPicture;
using testing::boardOfOneColour;

int searchFrom(GameState& game, int x, int y) {
  clearMarks(game);
  findGroup(game, x, y, game.cell(x, y));
  return countMarks(game);
}

// The whole connected group, for comparison with what the walk marks.
int connectedGroupSize(const GameState& game, int x, int y) {
  std::array<bool, kCells> seen{};
  std::array<int, kCells> queue{};
  int head = 0;
  int tail = 0;
  const auto colour = game.cell(x, y);
  queue[tail++] = cellIndex(x, y);
  seen[cellIndex(x, y)] = true;
  while (head < tail) {
    const int i = queue[head++];
    const int cx = i % kColumns;
    const int cy = i / kColumns;
    const int dx[] = {0, 0, -1, 1};
    const int dy[] = {-1, 1, 0, 0};
    for (int d = 0; d < 4; ++d) {
      const int nx = cx + dx[d];
      const int ny = cy + dy[d];
      if (nx < 0 || ny < 0 || nx >= kColumns || ny >= kRows) continue;
      const int n = cellIndex(nx, ny);
      if (seen[n] || game.board[n] != colour) continue;
      seen[n] = true;
      queue[tail++] = n;
    }
  }
  return tail;
}

// Yellow at (1,1), (1,0), (0,0), (1,2), (0,2); the cells around them hold other colours.
GameState barredDirectionExample() {
  GameState game = boardOfOneColour(Blue);
  for (auto [x, y] : {std::pair{1, 1}, {1, 0}, {0, 0}, {1, 2}, {0, 2}}) game.cell(x, y) = Yellow;
  game.cell(0, 1) = Brown;
  return game;
}

TEST(GroupSearch, StaleDirectionBarsAStepAndLeavesABallUnmarked) {
  GameState game = barredDirectionExample();
  const GameState before = game;
  EXPECT_EQ(searchFrom(game, 1, 1), 4);
  for (auto [x, y] : {std::pair{1, 1}, {1, 0}, {0, 0}, {1, 2}}) {
    EXPECT_EQ(game.marks[cellIndex(x, y)], 1) << x << "," << y;
  }
  EXPECT_EQ(game.marks[cellIndex(0, 2)], 0);
  EXPECT_EQ(game.board, before.board);
}

TEST(GroupSearch, FromTheOtherBallsOfTheExampleAllFiveAreMarked) {
  for (auto [x, y] : {std::pair{0, 2}, {0, 0}, {1, 0}, {1, 2}}) {
    GameState game = barredDirectionExample();
    EXPECT_EQ(searchFrom(game, x, y), 5) << "from " << x << "," << y;
  }
}

TEST(GroupSearch, FirstClickOfSeedZeroMarksEightOfNineTouchingBalls) {
  GameState game;
  dealBoard(game, 0);
  ASSERT_EQ(game.cell(14, 0), Yellow);
  EXPECT_EQ(connectedGroupSize(game, 14, 0), 9);
  EXPECT_EQ(searchFrom(game, 14, 0), 8);
}

TEST(GroupSearch, LoneBallAndPair) {
  GameState game = boardFromPicture({"YBY", "BYB"});
  EXPECT_EQ(searchFrom(game, 1, 8), 1);
  EXPECT_EQ(game.marks[cellIndex(1, 8)], 1);

  game = boardFromPicture({"BYYB"});
  EXPECT_EQ(searchFrom(game, 1, 8), 2);
  EXPECT_EQ(game.marks[cellIndex(2, 8)], 1);
}

TEST(GroupSearch, OneColourBoardFromEveryCornerMarksAllAndReachesDepth224) {
  for (auto [x, y] : {std::pair{0, 0}, {24, 0}, {0, 8}, {24, 8}}) {
    GameState game = boardOfOneColour(Brown);
    EXPECT_EQ(searchFrom(game, x, y), kCells);
    EXPECT_NE(game.stackDir[223], NoDirection) << "a step out of depth 223 reaches depth 224";
  }
  GameState game = boardOfOneColour(Blue);
  EXPECT_EQ(searchFrom(game, 12, 4), kCells);
}

TEST(GroupSearch, MarksOnlyConnectedBallsOfTheColour) {
  GameState game;
  dealBoard(game, 99);
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kColumns; ++x) {
      const int marked = searchFrom(game, x, y);
      ASSERT_GE(marked, 1);
      ASSERT_LE(marked, connectedGroupSize(game, x, y));
      // two or more exactly when a neighbour shares the colour
      const auto colour = game.cell(x, y);
      const bool neighbour = (y > 0 && game.cell(x, y - 1) == colour) ||
                             (y < kRows - 1 && game.cell(x, y + 1) == colour) ||
                             (x > 0 && game.cell(x - 1, y) == colour) ||
                             (x < kColumns - 1 && game.cell(x + 1, y) == colour);
      ASSERT_EQ(marked > 1, neighbour) << x << "," << y;
      for (int i = 0; i < kCells; ++i) {
        if (game.marks[i] == 1) {
          ASSERT_EQ(game.board[i], colour);
        }
      }
    }
  }
}

}  // namespace
}  // namespace pelorin
