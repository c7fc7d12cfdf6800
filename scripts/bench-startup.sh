#!/bin/sh
# Start-up against the floor: the game and a minimal Qt Widgets window, started in turn under
# one virtual X display, medians of the given number of runs (default 21).
# Build first: cmake --preset release && cmake --build --preset release
set -eu
cd "$(dirname "$0")/.."
runs="${1:-21}"
bin=build/release
xvfb-run -a -s "-screen 0 1024x768x24" \
  "$bin/bench/startup_probe" "$runs" "$bin/pelorin" "$bin/bench/minimal_window"
