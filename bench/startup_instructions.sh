#!/bin/sh
# Instructions from process start to the first paint, counted by valgrind's callgrind under a
# virtual X display: the game against a bare window with one text label built beside it.
# Counts are stable to about 0.1 %, unlike wall time. Usage: bench/startup_instructions.sh
# [BUILD_DIR] (default build/release; build first: cmake --preset release && cmake --build
# --preset release). Prints one line per program and the game's ratio to the floor.
set -eu
cd "$(dirname "$0")/.."
bin=${1:-build/release}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT

once() { # PROGRAM NAME -> instruction count of one run
  # The game keeps its score file beside itself: run a copy in the scratch directory.
  mkdir -p "$out/$2"
  cp "$1" "$out/$2/"
  program="$out/$2/$(basename "$1")"
  DBUS_SESSION_BUS_ADDRESS=disabled: QT_QPA_PLATFORM=xcb PELORIN_EXIT_AT_FIRST_PAINT=1 \
    xvfb-run -a -s "-screen 0 1280x1024x24" \
    valgrind --tool=callgrind --callgrind-out-file="$out/$2.out" "$program" >/dev/null 2>&1 || {
    echo "$2 did not run to its first paint under callgrind" >&2
    exit 1
  }
  sed -n 's/^summary: *//p; s/^totals: *//p' "$out/$2.out" | head -n 1 | cut -d' ' -f1
}

# The least of three runs: a fontconfig cache being rewritten by another process now and then
# makes one run scan every font.
count() { # PROGRAM NAME -> instruction count
  for run in 1 2 3; do once "$1" "$2"; done | sort -n | head -n 1
}

game=$(count "$bin/pelorin" game)
floor=$(count "$bin/bench/one_label_window" one_label)
printf '%-12s %12s instructions\n' game "$game" "one label" "$floor"
awk -v g="$game" -v f="$floor" 'BEGIN { printf "ratio        %12.3f (aim: at most 1.15)\n", g / f }'
