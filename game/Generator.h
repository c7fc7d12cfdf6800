#pragma once

#include <cstdint>

#include "game/Board.h"

namespace pelorin {

// The game's own 32-bit linear congruential generator: a seed gives the same board everywhere.
void seedRandom(GameState& game, std::uint32_t seed);
std::int32_t nextRandom(GameState& game);  // 0 to 32767, bits 16 to 30 of the new state

// Fills every cell with a random ball, row by row from the top, each row from the left.
void dealBoard(GameState& game, std::uint32_t seed);

// Deals from the wall clock (whole seconds since 1970, low 32 bits).
void generateBoard(GameState& game);

// Starts a new game: score 0, a fresh deal (from the clock, or from a given seed).
void newGame(GameState& game);
void newGame(GameState& game, std::uint32_t seed);

}  // namespace pelorin
