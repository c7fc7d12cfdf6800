// The platform tests on POSIX. Run with kReportFlag, the binary is the child of a test: it
// works out its directory as the game does, enters it from elsewhere and reports.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstring>
#include <fstream>

#include "platform/ExeDir.h"
#include "tests/platform/posix_child.h"

namespace {

// Arguments: the report file.
int reportExeDir(int argc, char** argv) {
  if (argc < 3) return 2;
  pelorin::setExeDir(pelorin::directoryOf(pelorin::executablePath()));
  if (chdir("/") != 0) return 3;
  pelorin::enterExeDir();
  std::ofstream report(argv[2], std::ios::binary);
  report << pelorin::executablePath().native() << '\n'
         << pelorin::exeDir().native() << '\n'
         << std::filesystem::current_path().native() << '\n';
  return report ? 0 : 4;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::strcmp(argv[1], pelorin::testing::kReportFlag) == 0)
    return reportExeDir(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
