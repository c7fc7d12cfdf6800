#pragma once

#include <cstdint>
#include <optional>

#include "game/Board.h"

namespace pelorin {

struct Cell {
  int x;
  int y;
  friend bool operator==(const Cell&, const Cell&) = default;
};

// The cell under a pixel of the board image, or nothing for a position outside it
// (a release after a drag out of the image still arrives, with such coordinates).
std::optional<Cell> cellAtPixel(int pixelX, int pixelY);

struct TurnResult {
  bool played = false;         // false: the game had ended or the cell is off the board
  std::int32_t groupSize = 0;  // marked cells: 0 on an empty cell, 1 for a lone ball
  std::int32_t points = 0;     // points of the removal, bonus not included
  bool cleared = false;        // the board is empty; the bonus was added
  bool gameOver = false;       // no move is left: the result goes to the score table
};

// One release on a cell: search, remove a group of two or more, collapse, score, and decide
// whether the game goes on. Once a turn has reported the end of the game, further turns do
// nothing until a new game is dealt.
TurnResult playTurn(GameState& game, Cell cell);

}  // namespace pelorin
