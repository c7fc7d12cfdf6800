#!/usr/bin/env bash
# The browser build and its tests: builds the site (web preset) and the desktop reference
# driver (dev preset), then plays the page (tests/web) in a headless browser of each engine at
# once: Chromium (Blink), Firefox ESR (Gecko) and WebKitGTK's MiniBrowser (WebKit), each run's
# report printed whole under its engine's name. PELORIN_WEB_ENGINES chooses fewer engines; with
# PELORIN_WEB_SCREENSHOTS set to a directory, the page is saved there in each engine at each size
# it is tested at.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --web
cmake --preset web && cmake --build --preset web
cmake --preset dev && cmake --build --preset dev --target web_reference
# puppeteer-core drives the system's Chromium and Firefox; it downloads no browser of its own.
[ -d node_modules/puppeteer-core ] || PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund

engines="${PELORIN_WEB_ENGINES:-chromium firefox webkit}"
reports="$(mktemp -d)"
trap 'rm -rf "$reports"' EXIT
declare -A runs
for engine in $engines; do
  PELORIN_WEB_ENGINE="$engine" node --test tests/web/ >"$reports/$engine" 2>&1 &
  runs[$engine]=$!
done
failed=""
for engine in $engines; do
  wait "${runs[$engine]}" || failed="$failed $engine"
done
# The count node's test runner closed a report with, or 0.
count() { local n; n="$(sed -n "s/^# $1 //p" "$2" | tail -1)"; echo "${n:-0}"; }
passed=0 failures=0 skipped=0
for engine in $engines; do
  echo "=== the page in $engine"
  cat "$reports/$engine"
  passed=$((passed + $(count pass "$reports/$engine")))
  failures=$((failures + $(count fail "$reports/$engine")))
  skipped=$((skipped + $(count skipped "$reports/$engine")))
done
echo "=== the page in $(echo $engines | sed 's/ /, /g'): every case skipped in an engine above says why"
[ -z "$failed" ] || echo "failed in:$failed"
echo "browser: $passed passed, $failures failed, $skipped skipped"
[ -z "$failed" ]
