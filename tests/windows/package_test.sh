#!/bin/sh
# Checks the Windows zip without running it: the files it holds, that every DLL they import is
# either in the package or part of Windows itself (as Wine's system32 holds it), that each
# DLL shipped is needed, and that pelorin.exe is a GUI program with its icon and version.
# usage: package_test.sh <zip> <objdump> <windres> <system32 directory>
set -u
zip="$1" objdump="$2" windres="$3" system32="$4"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work" || { echo "FAIL: cannot unpack $zip"; exit 1; }
top="$work/$(basename "$zip" .zip)"
[ -d "$top" ] || { echo "FAIL: no folder $(basename "$top") in the zip"; exit 1; }

expected="Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll libgcc_s_seh-1.dll libstdc++-6.dll
libwinpthread-1.dll pelorin.exe platforms/qwindows.dll web.htm"
actual="$(cd "$top" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | tr '\n' ' ')"
# shellcheck disable=SC2086 # one name a word
wanted="$(printf '%s\n' $expected | LC_ALL=C sort | tr '\n' ' ')"
[ "$actual" = "$wanted" ] || fail "the package holds [$actual], not [$wanted]"

lower() { tr '[:upper:]' '[:lower:]'; }
shipped="$(cd "$top" && find . -maxdepth 1 -name '*.dll' | sed 's|^\./||' | lower)"
imported=""
for binary in "$top/pelorin.exe" "$top"/*.dll "$top"/platforms/*.dll; do
  for dll in $("$objdump" -p "$binary" | sed -n 's/^[[:space:]]*DLL Name: //p' | lower); do
    imported="$imported $dll"
    echo "$shipped" | grep -qx "$dll" && continue
    case "$dll" in api-ms-win-*) continue ;; esac  # API sets: resolved by Windows itself
    [ -n "$(find "$system32" -maxdepth 1 -iname "$dll" -print -quit)" ] ||
      fail "$(basename "$binary") needs $dll, which is neither shipped nor part of Windows"
  done
done
for dll in $shipped; do
  echo "$imported" | tr ' ' '\n' | grep -qx "$dll" || fail "$dll is shipped but nothing imports it"
done

"$objdump" -p "$top/pelorin.exe" | grep -q 'Subsystem.*(Windows GUI)' ||
  fail "pelorin.exe is not a GUI program: it would open a console window"
resources="$("$windres" -i "$top/pelorin.exe" -O rc 2>/dev/null)"
echo "$resources" | grep -q 'RT_GROUP_ICON' || fail "pelorin.exe has no icon"
[ "$(echo "$resources" | grep -c 'RT_ICON')" = 4 ] ||
  fail "pelorin.exe's icon lacks some of its 16, 32, 48 and 256 pixel images"
for value in '"CompanyName", "Quillon Dynamics"' '"ProductName", "Pelorin 1.01"' \
  '"FileVersion", "1.01"' 'FILEVERSION 1, 0, 1, 0'; do
  echo "$resources" | grep -qF "$value" || fail "pelorin.exe's version lacks $value"
done

[ "$failures" -eq 0 ] && echo "the package is complete and self-contained"
[ "$failures" -eq 0 ]
