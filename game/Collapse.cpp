#include "game/Collapse.h"

namespace pelorin {

void removeMarked(GameState& game) {
  for (int i = 0; i < kCells; ++i) {
    if (game.marks[i] == 1) game.board[i] = Empty;
  }
}

void collapseBoard(GameState& game) {
  // Fall: each column moves into `marks` and comes back with its balls at the bottom.
  for (int x = 0; x < kColumns; ++x) {
    for (int y = 0; y < kRows; ++y) {
      game.marks[cellIndex(x, y)] = game.board[cellIndex(x, y)];
      game.board[cellIndex(x, y)] = Empty;
    }
    int fallen = 0;
    for (int y = kRows - 1; y >= 0; --y) {
      if (game.marks[cellIndex(x, y)] != Empty) {
        game.board[cellIndex(x, kRows - 1 - fallen)] = game.marks[cellIndex(x, y)];
        ++fallen;
      }
    }
  }

  game.marks = game.board;
  game.board.fill(Empty);

  // Close columns: a column is empty exactly when its bottom cell is.
  int target = 0;
  for (int x = 0; x < kColumns; ++x) {
    if (game.marks[cellIndex(x, kRows - 1)] == Empty) continue;
    for (int y = 0; y < kRows; ++y) {
      game.board[cellIndex(target, y)] = game.marks[cellIndex(x, y)];
    }
    ++target;
  }
}

}  // namespace pelorin
