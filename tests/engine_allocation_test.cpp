// Counts heap allocations made by whole games of engine turns: the engine must make none.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>

#include "game/Generator.h"
#include "game/Turn.h"

namespace {
std::atomic<long> allocations{0};
}

// Not inlined: GCC would otherwise pair the inlined free() with `new` and warn of a mismatch.
[[gnu::noinline]] void* operator new(std::size_t size) {
  ++allocations;
  if (void* p = std::malloc(size ? size : 1)) return p;
  throw std::bad_alloc();
}
[[gnu::noinline]] void* operator new[](std::size_t size) { return operator new(size); }
[[gnu::noinline]] void operator delete(void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept { std::free(p); }
[[gnu::noinline]] void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

TEST(EngineAllocation, WholeGamesAllocateNothing) {
  static pelorin::GameState game;
  long turns = 0;
  long made = 0;
  for (std::uint32_t seed = 0; seed < 100; ++seed) {
    const long before = allocations.load();
    pelorin::newGame(game, seed);
    // play the game to its end, always releasing on the first cell that removes a group
    for (bool over = false; !over;) {
      bool removed = false;
      for (int y = 0; y < pelorin::kRows && !removed; ++y) {
        for (int x = 0; x < pelorin::kColumns && !removed; ++x) {
          const auto result = pelorin::playTurn(game, {x, y});
          ++turns;
          over = result.gameOver;
          removed = result.groupSize > 1 || over;
        }
      }
      if (!removed) break;
    }
    made += allocations.load() - before;
  }
  EXPECT_GT(turns, 1000);
  EXPECT_EQ(made, 0);
}
