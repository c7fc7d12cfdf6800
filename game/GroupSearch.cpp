#include "game/GroupSearch.h"

#include <algorithm>

namespace pelorin {

namespace {

struct Step {
  int dx;
  int dy;
};

// Indexed by direction code; entry 0 is unused.
constexpr Step kSteps[] = {{0, 0}, {0, -1}, {0, 1}, {-1, 0}, {1, 0}};

bool onBoard(int x, int y) { return x >= 0 && x < kColumns && y >= 0 && y < kRows; }

}  // namespace

void clearMarks(GameState& game) { game.marks.fill(0); }

std::int32_t countMarks(const GameState& game) {
  // At most 225 fit in a byte, so the sum runs in byte lanes of vector code: move detection
  // counts after every one of its searches.
  std::uint8_t count = 0;
  for (const std::uint8_t mark : game.marks) count = static_cast<std::uint8_t>(count + (mark == 1));
  return count;
}

void findGroup(GameState& game, std::int32_t x, std::int32_t y, std::uint8_t colour) {
  std::fill_n(game.stackX.begin(), game.cellCount, 0);
  std::fill_n(game.stackY.begin(), game.cellCount, 0);
  std::fill_n(game.stackDir.begin(), game.cellCount, 0);

  int depth = 0;
  for (;;) {
    // The direction entry of this depth is not reset when the walk arrives, so a cell
    // entered at a depth another cell has left before starts with that direction barred.
    std::uint8_t open = NoDirection;
    for (std::uint8_t dir = Up; dir <= Right; ++dir) {
      const int nx = x + kSteps[dir].dx;
      const int ny = y + kSteps[dir].dy;
      if (!onBoard(nx, ny)) continue;  // tested first, so no cell off the board is read
      const int neighbour = cellIndex(nx, ny);
      if (game.board[neighbour] != colour) continue;
      if (game.stackDir[depth] == dir) continue;
      if (game.marks[neighbour] == 1) continue;
      open = dir;
      break;
    }

    if (open != NoDirection) {
      game.stackX[depth] = static_cast<std::uint8_t>(x);
      game.stackY[depth] = static_cast<std::uint8_t>(y);
      game.stackDir[depth] = open;
      ++depth;
      game.marks[cellIndex(x, y)] = 1;  // the walk marks the cell it leaves
      x += kSteps[open].dx;
      y += kSteps[open].dy;
      continue;
    }

    game.marks[cellIndex(x, y)] = 1;  // a dead end
    if (depth == 0) return;
    --depth;
    x = game.stackX[depth];
    y = game.stackY[depth];
  }
}

}  // namespace pelorin
