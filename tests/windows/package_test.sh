#!/bin/sh
# Checks the Windows zip without running it: the files it holds, that every DLL they import is
# either in the package or part of Windows itself (as Wine's system32 holds it), that each
# DLL shipped is needed and comes with its licence, and that pelorin.exe is a GUI program with
# its icon and the build's version.
# usage: package_test.sh <zip> <objdump> <windres> <system32 directory> <version, as 1.01>
set -u
zip="$1" objdump="$2" windres="$3" system32="$4" version="$5"
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
unzip -q "$zip" -d "$work" || { echo "FAIL: cannot unpack $zip"; exit 1; }
top="$work/$(basename "$zip" .zip)"
[ -d "$top" ] || { echo "FAIL: no folder $(basename "$top") in the zip"; exit 1; }

expected="LICENSE.txt Qt6Core.dll Qt6Gui.dll Qt6Widgets.dll README.txt libgcc_s_seh-1.dll
libstdc++-6.dll libwinpthread-1.dll pelorin.exe platforms/qwindows.dll web.htm
licenses/GCC/GPL-3.txt licenses/GCC/NOTE.txt licenses/GCC/copyright.txt
licenses/Qt/GPL-3.txt licenses/Qt/LGPL-3.txt licenses/Qt/SOURCE.txt licenses/Qt/copyright.txt
licenses/winpthreads/copyright.txt"
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

# Every library shipped, with the folder of its licence and a phrase that licence must hold.
licence_of() {
  case "$1" in
    Qt6*.dll | platforms/qwindows.dll) echo "Qt GNU LESSER GENERAL PUBLIC LICENSE" ;;
    libstdc++-6.dll | libgcc_s_seh-1.dll) echo "GCC GCC RUNTIME LIBRARY EXCEPTION" ;;
    libwinpthread-1.dll) echo "winpthreads winpthreads" ;;
  esac
}
for dll in $(cd "$top" && find . -name '*.dll' | sed 's|^\./||'); do
  set -- $(licence_of "$dll")
  [ $# -gt 0 ] || { fail "$dll is shipped without a licence"; continue; }
  folder="$1" && shift
  grep -qrF "$*" "$top/licenses/$folder" 2>/dev/null || fail "$dll: licenses/$folder lacks \"$*\""
done
grep -qF "qt6-base, version 6.4.2+dfsg-10" "$top/licenses/Qt/SOURCE.txt" 2>/dev/null ||
  fail "licenses/Qt/SOURCE.txt does not name Qt's exact source"
grep -q "^Pelorin" "$top/README.txt" && grep -q "^English" "$top/README.txt" &&
  grep -q "^Česky" "$top/README.txt" || fail "README.txt is not the Czech and English notice"

"$objdump" -p "$top/pelorin.exe" | grep -q 'Subsystem.*(Windows GUI)' ||
  fail "pelorin.exe is not a GUI program: it would open a console window"
resources="$("$windres" -i "$top/pelorin.exe" -O rc 2>/dev/null)"
echo "$resources" | grep -q 'RT_GROUP_ICON' || fail "pelorin.exe has no icon"
[ "$(echo "$resources" | grep -c 'RT_ICON')" = 4 ] ||
  fail "pelorin.exe's icon lacks some of its 16, 32, 48 and 256 pixel images"
file_version="$(echo "$version" | sed 's/^\([0-9]*\)\.\([0-9]\)\([0-9]\)$/\1, \2, \3, 0/')"
for value in '"CompanyName", "Quillon Dynamics"' "\"ProductName\", \"Pelorin $version\"" \
  "\"FileVersion\", \"$version\"" "FILEVERSION $file_version"; do
  echo "$resources" | grep -qF "$value" || fail "pelorin.exe's version lacks $value"
done

[ "$failures" -eq 0 ] && echo "the package is complete and self-contained"
[ "$failures" -eq 0 ]
