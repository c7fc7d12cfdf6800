#!/bin/sh
# Start-up of the Windows package under Wine: the zip unpacked into a temporary directory and
# pelorin.exe started there on a virtual X display, quitting after its first paint
# (PELORIN_QUIT_AFTER_FIRST_PAINT); the median wall time of the given number of runs (default
# 11), with Wine's server already running, as on a machine where Wine has been used before.
# Build first: cmake --preset windows && cmake --build --preset windows && (cd build/windows && cpack)
set -eu
cd "$(dirname "$0")/.."
runs="${1:-11}"
zip="$(ls "$PWD"/build/windows/pelorin-*-win64.zip 2>/dev/null | head -n 1)"
[ -n "$zip" ] && [ -f "$zip" ] || { echo "no build/windows/pelorin-*-win64.zip: build the windows preset and run cpack first" >&2; exit 1; }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work"

export WINEPREFIX="$PWD/build/windows/wineprefix-bench" WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=" PELORIN_QUIT_AFTER_FIRST_PAINT=1 LC_ALL=C.UTF-8
unset WINEPATH QT_PLUGIN_PATH QT_QPA_PLATFORM

# shellcheck disable=SC2016 # expanded by the shell under xvfb-run
xvfb-run -a -s "-screen 0 1024x768x24" sh -c '
  cd "$1"/pelorin-*-win64 && wine cmd /c exit >/dev/null 2>&1
  run=0
  while [ "$run" -lt "$2" ]; do
    start=$(date +%s%N)
    wine pelorin.exe || { echo "pelorin.exe did not exit cleanly" >&2; exit 1; }
    echo $(( ($(date +%s%N) - start) / 1000000 ))
    run=$((run + 1))
  done | sort -n | awk "{ t[NR] = \$1 } END { printf \"pelorin.exe under Wine: first paint and exit in %d ms (median of %d runs)\\n\", t[int((NR + 1) / 2)], NR }"
  wineserver -k
' sh "$work" "$runs"
