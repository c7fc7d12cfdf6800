#include <benchmark/benchmark.h>

#include "game/Collapse.h"
#include "game/Generator.h"
#include "game/GroupSearch.h"
#include "game/MoveDetection.h"
#include "game/Turn.h"

using namespace pelorin;

namespace {

// The slowest turn there is: a search over a full board of one colour, its removal and
// collapse, and a move detection that must search from every ball and find nothing.
void BM_WorstCaseTurn(benchmark::State& state) {
  static GameState oneColour;
  static GameState noMoves;
  for (int y = 0; y < kRows; ++y) {
    for (int x = 0; x < kColumns; ++x)
      noMoves.cell(x, y) = static_cast<std::uint8_t>((x + y) % 3 + 1);
  }
  for (auto _ : state) {
    oneColour.board.fill(Blue);
    clearMarks(oneColour);
    findGroup(oneColour, 0, 0, Blue);
    oneColour.groupSize = countMarks(oneColour);
    removeMarked(oneColour);
    collapseBoard(oneColour);
    benchmark::DoNotOptimize(hasMove(noMoves));
    benchmark::DoNotOptimize(oneColour.board);
  }
}
BENCHMARK(BM_WorstCaseTurn);

void BM_Deal(benchmark::State& state) {
  static GameState game;
  std::uint32_t seed = 0;
  for (auto _ : state) {
    dealBoard(game, ++seed);
    benchmark::DoNotOptimize(game.board);
  }
}
BENCHMARK(BM_Deal);

// A typical turn on a dealt board.
void BM_TurnOnDealtBoard(benchmark::State& state) {
  static GameState game;
  std::uint32_t seed = 0;
  for (auto _ : state) {
    state.PauseTiming();
    newGame(game, ++seed);
    state.ResumeTiming();
    benchmark::DoNotOptimize(playTurn(game, {12, 4}));
  }
}
BENCHMARK(BM_TurnOnDealtBoard);

// The same deal and turn timed together, without the timer's pauses: less BM_Deal, a turn as
// the browser build's benchmark measures it.
void BM_DealAndTurn(benchmark::State& state) {
  static GameState game;
  std::uint32_t seed = 0;
  for (auto _ : state) {
    newGame(game, ++seed);
    benchmark::DoNotOptimize(playTurn(game, {12, 4}));
  }
}
BENCHMARK(BM_DealAndTurn);

}  // namespace
