#include "game/Generator.h"

#include <ctime>

namespace pelorin {

void seedRandom(GameState& game, std::uint32_t seed) {
  game.randomState = seed;
  nextRandom(game);  // the first value of every sequence is thrown away
}

std::int32_t nextRandom(GameState& game) {
  game.randomState = game.randomState * 22695477u + 1u;
  return static_cast<std::int32_t>((game.randomState >> 16) & 0x7FFFu);
}

void dealBoard(GameState& game, std::uint32_t seed) {
  seedRandom(game, seed);
  for (auto& cell : game.board) {
    cell = static_cast<std::uint8_t>(nextRandom(game) % 3 + 1);
  }
}

void generateBoard(GameState& game) {
  dealBoard(game, static_cast<std::uint32_t>(std::time(nullptr)));
}

void newGame(GameState& game, std::uint32_t seed) {
  game.score = 0;
  game.finished = false;
  dealBoard(game, seed);
}

void newGame(GameState& game) { newGame(game, static_cast<std::uint32_t>(std::time(nullptr))); }

}  // namespace pelorin
