#!/bin/sh
# Installs the game into a temporary prefix, checks the layout and the menu entry, and starts
# the game through the installed launcher from another directory and through a symbolic
# link, as a menu or a PATH lookup would. Needs an X display (run it under xvfb-run).
# Usage: install_test.sh BUILD_DIR CONFIG VERSION
set -eu
build=$1
config=${2:-}
version=${3:-}
root=$(mktemp -d)
trap 'rm -rf "$root"' EXIT
prefix="$root/prefix"

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

cmake --install "$build" ${config:+--config "$config"} --prefix "$prefix" >/dev/null

id=example.quillon.Pelorin
for file in lib/pelorin/pelorin lib/pelorin/web.htm bin/pelorin \
  share/applications/$id.desktop share/metainfo/$id.metainfo.xml; do
  [ -f "$prefix/$file" ] || fail "$file is not installed"
done
# No shell in between: the command is a relative link, so the prefix can be moved.
[ "$(readlink "$prefix/bin/pelorin")" = ../lib/pelorin/pelorin ] ||
  fail "bin/pelorin is not a relative link to the game"

desktop="$prefix/share/applications/$id.desktop"
for line in '[Desktop Entry]' 'Type=Application' 'Name=Pelorin' 'Icon=pelorin' \
  'Categories=Game;LogicGame;' "Exec=\"$prefix/bin/pelorin\""; do
  grep -qxF "$line" "$desktop" || fail "the menu entry lacks: $line"
done
grep -q '^Comment=.' "$desktop" || fail "the menu entry has no English comment"
grep -q '^Comment\[cs\]=.' "$desktop" || fail "the menu entry has no Czech comment"
# Where a validator is installed its verdict counts; warnings fail too.
if command -v desktop-file-validate >/dev/null 2>&1; then
  report=$(desktop-file-validate "$desktop" 2>&1) || fail "desktop-file-validate rejects the menu entry: $report"
  [ -z "$report" ] || fail "desktop-file-validate complains about the menu entry: $report"
fi
metainfo="$prefix/share/metainfo/$id.metainfo.xml"
grep -qF "<id>$id</id>" "$metainfo" || fail "the metainfo's id is not $id"
grep -qF "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" ||
  fail "the metainfo does not name the menu entry"
grep -qF "<release version=\"$version\"" "$metainfo" || fail "the metainfo's release is not $version"
if command -v appstreamcli >/dev/null 2>&1; then
  appstreamcli validate --no-net "$metainfo" >/dev/null 2>&1 ||
    fail "appstreamcli rejects the metainfo: $(appstreamcli validate --no-net "$metainfo" 2>&1)"
fi

# Every size of the Windows icon, each in its own directory: width and height in the PNG
# header match the directory's name.
for side in 16 32 48 256; do
  icon="$prefix/share/icons/hicolor/${side}x$side/apps/pelorin.png"
  [ -f "$icon" ] || fail "no $side-pixel icon"
  size=$(od -An -tx1 -j16 -N8 "$icon" | tr -d ' \n')
  [ "$size" = "$(printf '%08x%08x' "$side" "$side")" ] || fail "the $side-pixel icon is $size"
done

mkdir "$root/elsewhere" "$root/links"
ln -s "$prefix/bin/pelorin" "$root/links/pelorin"
cd "$root/elsewhere"
# The virtual display has no session bus; without this libdbus tries to start one for it.
DBUS_SESSION_BUS_ADDRESS=disabled: PELORIN_QUIT_AFTER_FIRST_PAINT=1 QT_QPA_PLATFORM=xcb timeout 20 "$root/links/pelorin" ||
  fail "the launcher did not run the game to its first paint"
[ -z "$(ls -A "$root/elsewhere")" ] || fail "the game left files in the directory it started from"
echo "installed and started from $prefix"
