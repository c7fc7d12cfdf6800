#include "game/Turn.h"

#include <algorithm>

#include "game/Collapse.h"
#include "game/GroupSearch.h"
#include "game/MoveDetection.h"
#include "game/Scoring.h"

namespace pelorin {

std::optional<Cell> cellAtPixel(int pixelX, int pixelY) {
  if (pixelX < 0 || pixelY < 0 || pixelX >= kColumns * kCellPixels ||
      pixelY >= kRows * kCellPixels) {
    return std::nullopt;
  }
  return Cell{pixelX / kCellPixels, pixelY / kCellPixels};
}

TurnResult playTurn(GameState& game, Cell cell) {
  TurnResult result;
  const bool onBoard = cell.x >= 0 && cell.x < kColumns && cell.y >= 0 && cell.y < kRows;
  if (game.finished || !onBoard) return result;
  result.played = true;

  clearMarks(game);
  const std::uint8_t colour = game.cell(cell.x, cell.y);
  if (colour != Empty) findGroup(game, cell.x, cell.y, colour);
  game.groupSize = countMarks(game);
  result.groupSize = game.groupSize;

  if (game.groupSize > 1) removeMarked(game);
  collapseBoard(game);  // after every release, also when nothing was removed
  if (game.groupSize > 1) {
    result.points = pointsFor(game.groupSize);
    addScore(game, game.groupSize);
  }

  const bool empty =
      std::all_of(game.board.begin(), game.board.end(), [](std::uint8_t c) { return c == Empty; });
  if (empty) {
    game.score += kClearanceBonus;
    result.cleared = true;
    result.gameOver = true;
  } else {
    result.gameOver = hasMove(game) == 0;
  }
  game.finished = result.gameOver;
  return result;
}

}  // namespace pelorin
