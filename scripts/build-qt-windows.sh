#!/usr/bin/env bash
# Qt 6.4.2 for Windows (x86_64-w64-mingw32), for the `windows` preset. It lands in
# ${XDG_CACHE_HOME:-$HOME/.cache}/pelorin/qt6-mingw. An existing cache is kept as it is; a
# ready archive beside the repository (../shared/toolchains/qt-6.4.2-mingw64.tar.zst) is
# unpacked; only without one is Qt built from Debian's own source package (about an hour on two
# cores). Debian's source is fetched through an apt configuration of this script's own, so the
# system's package sources stay untouched.
set -euo pipefail

repository="$(cd "$(dirname "$0")/.." && pwd)"
cache="${XDG_CACHE_HOME:-$HOME/.cache}/pelorin"
qt="$cache/qt6-mingw"
archive="${PELORIN_QT_ARCHIVE:-$repository/../shared/toolchains/qt-6.4.2-mingw64.tar.zst}"

if [ -f "$qt/lib/cmake/Qt6/qt.toolchain.cmake" ]; then
  echo "Qt for Windows already in $qt"
  exit 0
fi
mkdir -p "$cache"

# Unpacked beside the cache and moved in at the end, so an interrupted run leaves no half a Qt.
work="$(mktemp -d "$cache/qt-work.XXXXXX")"
trap 'rm -rf "$work"' EXIT

if [ -f "$archive" ]; then
  echo "Unpacking $archive"
  tar --zstd -xf "$archive" -C "$work"
  rm -rf "$qt"
  mv "$work/qt6-mingw" "$qt"
  echo "Qt for Windows in $qt"
  exit 0
fi

echo "No ready Qt for Windows at $archive: building it from Debian's source (about an hour)"
for tool in x86_64-w64-mingw32-g++-posix ninja cmake xz /usr/lib/qt6/libexec/moc; do
  command -v "$tool" >/dev/null || {
    echo "$tool is missing: run scripts/install-deps.sh --windows first" >&2
    exit 1
  }
done

# A private apt: its own source list (one deb-src entry), lists, cache and no extra parts.
apt="$work/apt"
mkdir -p "$apt/lists/partial" "$apt/archives/partial" "$apt/parts"
# The source comes from the mirror the system's own apt uses for bookworm; the repository
# names no host of its own.
mirror="$(apt-get indextargets --no-release-info --format '$(TARGET_OF) $(RELEASE) $(REPO_URI)' |
  awk '$1 == "deb" && $2 == "bookworm" { sub(/\/$/, "", $3); print $3; exit }')"
[ -n "$mirror" ] || {
  echo "the system's apt sources have no bookworm entry to fetch Qt's source from" >&2
  exit 1
}
echo "deb-src $mirror bookworm main" >"$apt/sources.list"
apt_options=(
  -o "Dir::Etc::SourceList=$apt/sources.list"
  -o "Dir::Etc::SourceParts=$apt/parts"
  -o "Dir::State::Lists=$apt/lists"
  -o "Dir::Cache=$apt/cache"
  -o "Dir::Cache::archives=$apt/archives"
  -o "APT::Sandbox::User=root"
)
apt-get "${apt_options[@]}" update
(cd "$work" && apt-get "${apt_options[@]}" source --download-only qt6-base=6.4.2+dfsg-10)
tar -xf "$work"/qt6-base_6.4.2+dfsg.orig.tar.xz -C "$work"
source_dir="$(find "$work" -maxdepth 1 -type d -name 'qtbase-everywhere-src-6.4.2*' | head -n 1)"

# The toolchain Qt is built with; the installed qt.toolchain.cmake chains to this copy of it.
cat >"$work/mingw-w64.toolchain.cmake" <<'TOOLCHAIN'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
TOOLCHAIN

# Why the switches: Debian's source leaves out the tablet header (tabletevent); with opengl off,
# dynamicgl must be off too or the platform plugin does not compile; with directwrite3 the
# platform plugin does not link with this compiler; the bundled third-party libraries stand in
# for Debian's Linux ones; the modules the game does not use are left out.
cmake -S "$source_dir" -B "$work/build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$work/mingw-w64.toolchain.cmake" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_INSTALL_PREFIX="$work/qt6-mingw" -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON \
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF -DQT_BUILD_TOOLS_WHEN_CROSSCOMPILING=OFF \
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_opengl=OFF \
  -DFEATURE_printsupport=OFF -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF -DFEATURE_vulkan=OFF \
  -DFEATURE_testlib=ON -DFEATURE_tabletevent=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_icu=OFF \
  -DFEATURE_direct2d=OFF -DFEATURE_directwrite3=OFF \
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_freetype=OFF \
  -DFEATURE_system_harfbuzz=OFF -DFEATURE_system_png=OFF -DFEATURE_system_jpeg=OFF \
  -DFEATURE_system_doubleconversion=OFF
cmake --build "$work/build" --parallel 2
cmake --install "$work/build"

# As the ready archive is made: stripped DLLs, and a toolchain that points beside itself.
find "$work/qt6-mingw" -name '*.dll' -exec x86_64-w64-mingw32-strip --strip-unneeded {} +
cp "$work/mingw-w64.toolchain.cmake" "$work/qt6-mingw/lib/cmake/Qt6/mingw-w64.toolchain.cmake"
sed -i "s|$work/mingw-w64.toolchain.cmake|\${CMAKE_CURRENT_LIST_DIR}/mingw-w64.toolchain.cmake|g" \
  "$work/qt6-mingw/lib/cmake/Qt6/qt.toolchain.cmake"
rm -rf "$qt"
mv "$work/qt6-mingw" "$qt"
echo "Qt for Windows built into $qt"
