#!/bin/sh
# Fuzzes the score file reader and writer for the given number of seconds (default 60),
# starting from the seed corpus in the repository. Build first: cmake --preset fuzz &&
# cmake --build --preset fuzz (needs scripts/install-deps.sh --fuzz).
set -eu
cd "$(dirname "$0")/.."
seconds="${1:-60}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp fuzz/corpus/score_file/* "$work/"
build/fuzz/fuzz/score_file_fuzzer -max_total_time="$seconds" -print_final_stats=1 "$work"
