// Starts programs that quit after their first paint (PELORIN_QUIT_AFTER_FIRST_PAINT) and
// reports, per program, the median wall time from exec to exit and the median peak RSS.
// Usage: startup_probe RUNS PROGRAM... ; runs the programs in turn, RUNS rounds.
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Sample {
  double milliseconds;
  long peakKilobytes;
};

Sample runOnce(const char* program) {
  const auto start = std::chrono::steady_clock::now();
  const pid_t child = fork();
  if (child == 0) {
    setenv("PELORIN_QUIT_AFTER_FIRST_PAINT", "1", 1);
    execl(program, program, static_cast<char*>(nullptr));
    _exit(127);
  }
  int status = 0;
  rusage usage{};
  wait4(child, &status, 0, &usage);
  const auto elapsed = std::chrono::steady_clock::now() - start;
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
    std::fprintf(stderr, "%s did not exit cleanly\n", program);
    std::exit(1);
  }
  return {std::chrono::duration<double, std::milli>(elapsed).count(), usage.ru_maxrss};
}

template <typename T>
T median(std::vector<T> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: %s RUNS PROGRAM...\n", argv[0]);
    return 2;
  }
  const int runs = std::max(1, std::atoi(argv[1]));
  const int programs = argc - 2;
  std::vector<std::vector<double>> times(programs);
  std::vector<std::vector<long>> peaks(programs);
  for (int i = 0; i < programs; ++i) runOnce(argv[2 + i]);  // warm the file cache
  for (int run = 0; run < runs; ++run) {
    for (int i = 0; i < programs; ++i) {  // interleaved, so drift hits all alike
      const Sample sample = runOnce(argv[2 + i]);
      times[i].push_back(sample.milliseconds);
      peaks[i].push_back(sample.peakKilobytes);
    }
  }
  for (int i = 0; i < programs; ++i) {
    std::printf("%-40s median %7.1f ms to first paint and exit, peak RSS %6ld KiB\n", argv[2 + i],
                median(times[i]), median(peaks[i]));
  }
  return 0;
}
