#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "scores/disk/ScorePlace.h"
#include "scores/rules/ScoreKeeping.h"

namespace pelorin {

// The dialog that asks for a result's name; it returns the name as it is stored.
using AskName = std::function<std::string(std::int32_t score)>;

// Takes `keeping` through its steps with the table in the file "pelorin.sco" of its places:
// the player's own table where there is one, else the game's; a result goes where the table is
// read from, except that a game's table the player cannot rewrite where it stands (a read-only
// install) is first copied to the player's own place. Failures are silent: the steps only learn
// that nothing could be read or stored.
void keepOnDisk(ScoreKeeping& keeping, const ScorePlaces& places, const AskName& askName = {});

}  // namespace pelorin
