// A game's recording of a result without its windows, for tests and measurements that start
// several games at once: score_driver DIRECTORY SCORE NAME [--wait]. With --wait the name is
// given only after a line on stdin, as a player types it while the dialog is open.
// Exit status 0: stored; 1: not stored; 2: the table could not be read; 3: does not qualify.
#include <cstdlib>
#include <iostream>
#include <string>

#include "scores/disk/ScoreFile.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: score_driver DIRECTORY SCORE NAME [--wait]\n";
    return 64;
  }
  const bool wait = argc > 4 && std::string(argv[4]) == "--wait";
  const std::string name = argv[3];
  bool asked = false;
  pelorin::ScoreKeeping keeping =
      pelorin::ScoreKeeping::toRecord(static_cast<std::int32_t>(std::strtol(argv[2], nullptr, 10)));
  pelorin::keepOnDisk(keeping, {argv[1], {}}, [&](std::int32_t) {
    asked = true;
    std::string line;
    if (wait) std::getline(std::cin, line);
    return name;
  });
  if (!keeping.hasTable()) return 2;
  if (!asked) return 3;
  return keeping.recorded() ? 0 : 1;
}
