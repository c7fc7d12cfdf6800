#pragma once

#include <cstdint>

#include "game/Board.h"

namespace pelorin {

// Marks in `marks` the same-coloured balls that a depth-first walk from (x, y) reaches.
// The caller guarantees (x, y) is on the board, `colour` is its non-empty code, and
// `marks` is all 0. The walk runs on the fixed stack arrays; it never recurses.
void findGroup(GameState& game, std::int32_t x, std::int32_t y, std::uint8_t colour);

// Sets all 225 entries of `marks` to 0; every search must be preceded by it.
void clearMarks(GameState& game);

// How many cells are marked exactly 1.
std::int32_t countMarks(const GameState& game);

}  // namespace pelorin
