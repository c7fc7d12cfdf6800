#pragma once

#include <cassert>
#include <initializer_list>
#include <string>
#include <string_view>

#include "game/Board.h"

namespace pelorin::testing {

inline std::uint8_t codeOf(char c) {
  switch (c) {
    case 'Y':
      return Yellow;
    case 'B':
      return Blue;
    case 'H':
      return Brown;
    default:
      return Empty;
  }
}

// Builds a board from rows drawn as text ('Y' yellow, 'B' blue, 'H' brown, anything else
// empty). The last row given is row 8; rows above those given are empty.
inline GameState boardFromPicture(std::initializer_list<std::string_view> rows) {
  assert(rows.size() <= kRows);
  GameState game;
  int y = kRows - static_cast<int>(rows.size());
  for (std::string_view row : rows) {
    assert(row.size() <= kColumns);
    for (int x = 0; x < static_cast<int>(row.size()); ++x) game.cell(x, y) = codeOf(row[x]);
    ++y;
  }
  return game;
}

// The board as text in the same letters, one line per row, for readable failures.
inline std::string picture(const Grid& grid) {
  std::string text;
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kColumns; ++x) text += ".YBH"[grid[cellIndex(x, y)] & 3];
    text += '\n';
  }
  return text;
}

inline GameState boardOfOneColour(std::uint8_t colour) {
  GameState game;
  game.board.fill(colour);
  return game;
}

// A full board on which no ball touches one of its colour: stripes of three colours
// shifted by one in each row.
inline GameState boardWithoutMoves() {
  GameState game;
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kColumns; ++x) game.cell(x, y) = static_cast<std::uint8_t>((x + y) % 3 + 1);
  }
  return game;
}

}  // namespace pelorin::testing
