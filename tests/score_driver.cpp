// A game's recording of a result without its windows, for tests and measurements that start
// several games at once: score_driver DIRECTORY SCORE NAME [--wait]. With --wait it reads the
// table first, as the game does before its dialog, and records only after a line on stdin.
// Exit status 0: stored; 1: not stored; 2: the table could not be read; 3: does not qualify.
#include <cstdlib>
#include <iostream>
#include <string>

#include "scores/RecordScore.h"
#include "scores/ScoreFile.h"

int main(int argc, char** argv) {
  if (argc < 4) {
    std::cerr << "usage: score_driver DIRECTORY SCORE NAME [--wait]\n";
    return 64;
  }
  const std::filesystem::path directory = argv[1];
  const auto score = static_cast<std::int32_t>(std::strtol(argv[2], nullptr, 10));
  pelorin::ScoreTable table;
  if (!pelorin::readScoreFile(directory, table)) return 2;
  if (!pelorin::insertScore(table, score)) return 3;
  if (argc > 4 && std::string(argv[4]) == "--wait") {
    std::string line;
    std::getline(std::cin, line);
  }
  return pelorin::recordResult(directory, score, argv[3], table) ? 0 : 1;
}
