#!/bin/sh
# Instructions from process start to the first paint, counted by valgrind's callgrind under a
# virtual X display, of the game against a bare window with one text label, both built here
# from this tree, and their peak memory (VmHWM) in native runs. Counts are stable to about
# 0.05 %, unlike wall time. Fails when the ratio of the counts is above the budget in
# bench/startup_budget. Usage: bench/startup_instructions.sh [BUILD_DIR] (default build/release,
# configured with cmake --preset release).
set -eu
cd "$(dirname "$0")/.."
bin=${1:-build/release}
budgets=bench/startup_budget
[ -f "$bin/CMakeCache.txt" ] || {
  echo "no build in $bin: run cmake --preset release first" >&2
  exit 2
}
# The label window is built with the game, by the same compiler against the same Qt.
cmake --build "$bin" --parallel 2 --target pelorin one_label_window startup_probe >/dev/null || {
  echo "the game or the label window could not be built in $bin" >&2
  exit 1
}
out=$(mktemp -d)
trap 'rm -rf "$out"' EXIT
# The game keeps its score file beside itself: each program runs as a copy in the scratch
# directory.
mkdir -p "$out/game" "$out/one_label"
cp "$bin/pelorin" "$out/game/"
cp "$bin/bench/one_label_window" "$out/one_label/"
game_program=$out/game/pelorin
floor_program=$out/one_label/one_label_window

once() { # PROGRAM -> instruction count of one run
  DBUS_SESSION_BUS_ADDRESS=disabled: QT_QPA_PLATFORM=xcb PELORIN_EXIT_AT_FIRST_PAINT=1 \
    xvfb-run -a -s "-screen 0 1280x1024x24" \
    valgrind --tool=callgrind --callgrind-out-file="$out/callgrind.out" "$1" >/dev/null 2>&1 || {
    echo "$1 did not run to its first paint under callgrind" >&2
    exit 1
  }
  sed -n 's/^summary: *//p; s/^totals: *//p' "$out/callgrind.out" | head -n 1 | cut -d' ' -f1
}

# The least of each program's runs, three at first, taken in turn: a fontconfig cache being
# rewritten by another process now and then makes a run scan every font. Over the budget, three
# more rounds are taken before the verdict, so that a spell of rescans cannot fail the check.
game=""
floor=""
least() { # CURRENT NEW -> the smaller
  if [ -z "$1" ] || [ "$2" -lt "$1" ]; then echo "$2"; else echo "$1"; fi
}
measure() { # ROUNDS
  for round in $(seq "$1"); do
    run=$(once "$game_program")
    game=$(least "$game" "$run")
    run=$(once "$floor_program")
    floor=$(least "$floor" "$run")
  done
  ratio=$(awk -v g="$game" -v f="$floor" 'BEGIN { printf "%.3f", g / f }')
}

# The budget: the last line of the file, none above the one before it.
budget=$(awk '!/^#/ && NF { if (seen && $1 > last) { bad = 1 } last = $1; seen = 1 }
  END { if (bad || !seen) exit 1; print last }' "$budgets") || {
  echo "$budgets must hold budgets that only go down" >&2
  exit 1
}
over_budget() { awk -v r="$ratio" -v b="$budget" 'BEGIN { exit !(r > b) }'; }

# Peak resident memory, the median of five native runs of each, to the first paint. These runs
# come first: they also bring fontconfig's caches up to date for the counted ones.
peaks=$(DBUS_SESSION_BUS_ADDRESS=disabled: QT_QPA_PLATFORM=xcb \
  xvfb-run -a -s "-screen 0 1280x1024x24" \
  "$bin/bench/startup_probe" 5 "$game_program" "$floor_program" 2>/dev/null |
  sed -n 's/.*peak RSS *\([0-9]*\) KiB.*/\1/p')
game_peak=$(echo "$peaks" | sed -n 1p)
floor_peak=$(echo "$peaks" | sed -n 2p)
[ -n "$game_peak" ] && [ -n "$floor_peak" ] || {
  echo "the peak memory of the game or the label window could not be measured" >&2
  exit 1
}

measure 3
if over_budget; then measure 3; fi

printf '%-10s %12s instructions  %6.1f MiB peak\n' \
  game "$game" "$(awk -v k="$game_peak" 'BEGIN { print k / 1024 }')" \
  "one label" "$floor" "$(awk -v k="$floor_peak" 'BEGIN { print k / 1024 }')"
printf '%-10s %12s (aim: 1.15)   %6.3f (aim: 1.08)\n' ratio "$ratio" \
  "$(awk -v g="$game_peak" -v f="$floor_peak" 'BEGIN { print g / f }')"

if over_budget; then
  echo "start-up over budget: the game took $game instructions to its first paint, the" \
    "one-label window $floor, a ratio of $ratio against the budget of $budget ($budgets)" >&2
  exit 1
fi
echo "within the budget of $budget"
