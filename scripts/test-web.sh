#!/usr/bin/env bash
# The browser build and its tests: builds the site (web preset) and the desktop reference
# driver (dev preset), then plays the page in headless Chromium (tests/web). With
# PELORIN_WEB_SCREENSHOTS set to a directory, the page is saved there at each size it is tested at.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --web
cmake --preset web && cmake --build --preset web
cmake --preset dev && cmake --build --preset dev --target web_reference
# puppeteer-core drives the system's Chromium; it downloads no browser of its own.
[ -d node_modules/puppeteer-core ] || PUPPETEER_SKIP_DOWNLOAD=1 npm ci --no-audit --no-fund
node --test tests/web/
