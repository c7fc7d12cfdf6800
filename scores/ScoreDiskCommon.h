#pragma once

#include <string>
#include <string_view>

#include "scores/ScoreDisk.h"

namespace pelorin::detail {

// "pelorin.sco.<16 hex digits>.tmp": a name of its own for each write, recognisable later.
std::string temporaryFileName();
bool isTemporaryFileName(std::string_view name);

// Runs the test hook, if one is set, after a step of a rewrite.
void reportStep(ReplaceStep step);

// How long a game waits for another one's lock, and how often it tries.
inline constexpr int kLockWaitMilliseconds = 2000;
inline constexpr int kLockPollMilliseconds = 10;

}  // namespace pelorin::detail
