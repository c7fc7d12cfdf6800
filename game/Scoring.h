#pragma once

#include <cstdint>

#include "game/Board.h"

namespace pelorin {

inline constexpr std::int32_t kClearanceBonus = 500;

// A removal of n balls earns n(n + 1)/2; n(n + 1) is always even, so this is exact.
constexpr std::int32_t pointsFor(std::int32_t balls) { return balls * (balls + 1) / 2; }

inline void addScore(GameState& game, std::int32_t balls) { game.score += pointsFor(balls); }

}  // namespace pelorin
