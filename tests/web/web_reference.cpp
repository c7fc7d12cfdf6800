// What the desktop game does with one deal, for the browser tests to hold the page against:
// web_reference SECOND DIRECTORY NAME deals the board of SECOND, plays it to its end biggest
// group first (the end-to-end tests' clicks), records the result as NAME (UTF-8) in
// DIRECTORY/pelorin.sco with the desktop's own score logic, and prints one JSON object: the
// board dealt, the cells released, the score and, per cell, the board after a release there.
#include <QString>
#include <cstdint>
#include <cstdlib>
#include <iostream>
#include <string>

#include "game/Generator.h"
#include "game/Turn.h"
#include "tests/disk_table_driver.h"
#include "tests/e2e/screen_board.h"
#include "ui/NameCodec.h"

namespace {

std::string digits(const pelorin::Grid& board) {
  std::string text;
  for (const std::uint8_t cell : board) text += static_cast<char>('0' + cell);
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::cerr << "usage: web_reference SECOND DIRECTORY NAME\n";
    return 64;
  }
  pelorin::GameState game;
  pelorin::newGame(game, static_cast<std::uint32_t>(std::strtoul(argv[1], nullptr, 10)));
  std::cout << "{\"board\":\"" << digits(game.board) << "\",\"afterRelease\":[";
  for (int cell = 0; cell < pelorin::kCells; ++cell) {
    pelorin::GameState trial = game;
    pelorin::playTurn(trial, {cell % pelorin::kColumns, cell / pelorin::kColumns});
    std::cout << (cell ? ",\"" : "\"") << digits(trial.board) << '"';
  }
  std::cout << "],\"clicks\":[";
  for (bool first = true; !game.finished; first = false) {
    const std::optional<pelorin::Cell> cell = biggestGroup(game, true);
    if (!cell) break;
    pelorin::playTurn(game, *cell);
    std::cout << (first ? "" : ",") << '[' << cell->x << ',' << cell->y << ']';
  }
  pelorin::ScoreTable table;
  const bool stored = pelorin::recordResult(argv[2], game.score,
                                            encodeName(QString::fromUtf8(argv[3])), table);
  std::cout << "],\"score\":" << game.score << ",\"stored\":" << (stored ? "true" : "false")
            << "}\n";
  return 0;
}
