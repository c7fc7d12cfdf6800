// A game's recording of a result without its windows, for tests and measurements that start
// several games at once: score_driver DIRECTORY SCORE NAME [--wait] [--as-game]. With --wait the
// name is given only after a line on stdin, as a player types it while the dialog is open. With
// --as-game DIRECTORY is the game's own and the table is kept where the game keeps it: there,
// or in the player's own place where the player cannot write there.
// Exit status 0: stored; 1: not stored; 2: the table could not be read; 3: does not qualify.
#include <cstdlib>
#include <iostream>
#include <string>

#include "scores/disk/ScoreFile.h"

namespace {

bool hasOption(int argc, char** argv, const std::string& option) {
  for (int i = 4; i < argc; ++i)
    if (option == argv[i]) return true;
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: score_driver DIRECTORY SCORE NAME [--wait] [--as-game]\n";
    return 64;
  }
  const bool wait = hasOption(argc, argv, "--wait");
  const pelorin::ScorePlaces places = hasOption(argc, argv, "--as-game")
                                          ? pelorin::scorePlacesOf(argv[1])
                                          : pelorin::ScorePlaces{argv[1], {}};
  const std::string name = argv[3];
  bool asked = false;
  pelorin::ScoreKeeping keeping =
      pelorin::ScoreKeeping::toRecord(static_cast<std::int32_t>(std::strtol(argv[2], nullptr, 10)));
  pelorin::keepOnDisk(keeping, places, [&](std::int32_t) {
    asked = true;
    std::string line;
    if (wait) std::getline(std::cin, line);
    return name;
  });
  if (!keeping.hasTable()) return 2;
  if (!asked) return 3;
  return keeping.recorded() ? 0 : 1;
}
