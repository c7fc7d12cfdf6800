#pragma once

#include <array>
#include <cstdint>

namespace pelorin {

inline constexpr int kColumns = 25;
inline constexpr int kRows = 9;
inline constexpr int kCells = kColumns * kRows;
inline constexpr int kCellPixels = 16;

// One byte per cell of `board`; no other value ever appears there.
enum CellCode : std::uint8_t { Empty = 0, Yellow = 1, Blue = 2, Brown = 3 };

// The numeric order is the order in which the group search tries the directions.
enum Direction : std::uint8_t { NoDirection = 0, Up = 1, Down = 2, Left = 3, Right = 4 };

using Grid = std::array<std::uint8_t, kCells>;

constexpr int cellIndex(int x, int y) { return y * kColumns + x; }

// The whole state of the one game under way. Fixed size, no allocation: the application
// holds exactly one, and every engine function works on it directly.
struct GameState {
  Grid board{};     // CellCode per cell, row-major
  Grid marks{};     // 0/1 from a search until the next collapse; then the fallen board
  Grid stackX{};    // column of the cell at each depth of the search path
  Grid stackY{};    // row of the cell at each depth
  Grid stackDir{};  // direction last taken out of each depth in the current search
  static constexpr std::int32_t cellCount = kCells;  // how many stack entries a search clears
  std::int32_t score = 0;
  std::int32_t groupSize = 0;
  std::uint32_t randomState = 0;
  bool finished = false;  // the game's end has been reported; releases do nothing until a deal

  std::uint8_t& cell(int x, int y) { return board[cellIndex(x, y)]; }
  std::uint8_t cell(int x, int y) const { return board[cellIndex(x, y)]; }
};

}  // namespace pelorin
