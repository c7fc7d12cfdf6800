#!/bin/sh
# Installs the Debian packages that building and running the game need, skipping those
# already there. With --test it adds what the test suite needs (a virtual display, clicks
# and a fixed clock for the end-to-end tests, a headless Wayland compositor with XWayland and
# Qt's Wayland platform for the Wayland test, strace for the synced-rewrite test); with --fuzz,
# the clang toolchain for libFuzzer; with --faults, what bench/score_file_faults.sh needs; with
# --windows, the cross compiler, Wine with the fonts a Windows machine has, and what
# scripts/build-qt-windows.sh needs; with --web, clang for WebAssembly with its C and C++
# libraries and LLVM's archiver, Node.js, and a browser of each engine for the page's tests
# (Chromium, Firefox ESR, and WebKitGTK's WebDriver with its MiniBrowser on a virtual display);
# with --deb, Debian's packaging tools for scripts/make-deb.sh and lintian to check the package.
set -eu

packages="cmake g++ make qt6-base-dev libgtest-dev libbenchmark-dev libglib2.0-dev libxcb1-dev fonts-dejavu-core fonts-liberation2"
for option in "$@"; do
  case "$option" in
    --test) packages="$packages xvfb xauth xdotool faketime strace openbox x11-utils x11-apps valgrind desktop-file-utils appstream weston xwayland qt6-wayland" ;;
    --fuzz) packages="$packages clang libclang-rt-14-dev" ;;
    --deb) packages="$packages build-essential debhelper dpkg-dev pkg-config lintian" ;;
    --faults) packages="$packages strace xfsprogs util-linux" ;;
    --windows) packages="$packages g++-mingw-w64-x86-64-posix wine wine64 fonts-wine googletest zstd zip unzip xz-utils ninja-build xvfb xauth xdotool faketime" ;;
    --web)
      packages="$packages clang-14 lld-14 llvm-14 wasi-libc libc++-14-dev-wasm32 libclang-rt-14-dev-wasm32 nodejs chromium firefox-esr webkit2gtk-driver xvfb"
      # Debian's nodejs comes without npm; other builds of Node.js bring their own.
      command -v npm >/dev/null 2>&1 || packages="$packages npm" ;;
    *) echo "usage: $0 [--test] [--fuzz] [--faults] [--windows] [--web] [--deb]" >&2; exit 2 ;;
  esac
done

missing=""
for package in $packages; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing="$missing $package"
  fi
done
[ -z "$missing" ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=""; else sudo="sudo"; fi
echo "Installing:$missing"
$sudo apt-get update -qq
# shellcheck disable=SC2086
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends $missing
