// GoogleTest main for the score-file tests. Root ignores permission bits, so when started as
// root the tests drop to the unprivileged "nobody" user: a read-only file then means what it
// means for a player.
#include <grp.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>

int main(int argc, char** argv) {
  if (geteuid() == 0) {
    constexpr uid_t kNobody = 65534;
    if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) {
      std::perror("dropping root for the score-file tests");
      return 1;
    }
  }
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
