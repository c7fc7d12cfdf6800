#include "game/MoveDetection.h"

#include "game/GroupSearch.h"

namespace pelorin {

std::int32_t hasMove(GameState& game) {
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kColumns; ++x) {
      const std::uint8_t colour = game.cell(x, y);
      if (colour == Empty) continue;
      clearMarks(game);
      findGroup(game, x, y, colour);
      if (countMarks(game) > 1) return 1;
    }
  }
  return 0;
}

}  // namespace pelorin
