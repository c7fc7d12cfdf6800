#!/usr/bin/env bash
# The release files in dist/: the Debian package, the Windows zip, the browser site's zip and
# SHA256SUMS. Every entry is stamped with the time of the last commit (or SOURCE_DATE_EPOCH
# where it is set), so one commit gives the same bytes wherever it is built.
set -euo pipefail
cd "$(dirname "$0")/.."
export SOURCE_DATE_EPOCH="${SOURCE_DATE_EPOCH:-$(git log -1 --format=%ct)}"

scripts/install-deps.sh --windows --web
scripts/build-qt-windows.sh
cmake --preset windows-release >/dev/null && cmake --build --preset windows-release
(cd build/windows-release && cpack >/dev/null)
cmake --preset web >/dev/null && cmake --build --preset web
deb="$(scripts/make-deb.sh)"

version="$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/windows-release/CMakeCache.txt)"
rm -rf dist build/web/release && mkdir -p dist "build/web/release/pelorin-$version-web"
cp "build/windows-release/pelorin-$version-win64.zip" "$deb" dist/
cp -R build/web/site/. "build/web/release/pelorin-$version-web/"
scripts/reproducible-zip.sh build/web/release "dist/pelorin-$version-web.zip"
(cd dist && sha256sum -- *.deb *.zip >SHA256SUMS && cat SHA256SUMS)
