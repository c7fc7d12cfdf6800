#pragma once

#include <cstdint>

#include "game/Board.h"

namespace pelorin {

// 1 when some ball has a same-coloured neighbour (a group of two or more exists), else 0.
// Runs the group search from each ball in scan order and stops at the first group.
std::int32_t hasMove(GameState& game);

}  // namespace pelorin
