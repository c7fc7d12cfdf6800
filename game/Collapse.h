#pragma once

#include "game/Board.h"

namespace pelorin {

// Empties every cell whose mark is 1. The turn calls it only for groups of two or more.
void removeMarked(GameState& game);

// Lets the balls fall to row 8 and closes up empty columns to the left. Uses `marks` as
// scratch: afterwards it holds the fallen board before the columns closed up.
void collapseBoard(GameState& game);

}  // namespace pelorin
