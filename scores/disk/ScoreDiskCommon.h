#pragma once

#include <string>
#include <string_view>

#include "scores/disk/ScoreDisk.h"

namespace pelorin {

// Seams for the tests that stop a game in the middle of a rewrite. They stay out of the disk
// layer's public header: the game itself never sets them.
enum class ReplaceStep { TemporaryCreated, TemporaryWritten, TemporaryNamed, Renamed };
using ReplaceStepHook = void (*)(ReplaceStep);

// Called after each step of every rewrite; null (the default) calls nothing.
void setReplaceStepHook(ReplaceStepHook hook);

// Tests only: false makes every rewrite use a named temporary file, as on a file system
// without unnamed ones. Systems that have no unnamed temporary files ignore it.
void useUnnamedTemporaryFiles(bool use);

}  // namespace pelorin

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
