#!/usr/bin/env bash
# The Debian package on this machine, as root: builds it, runs lintian (pedantic: any tag
# fails), installs it with apt, starts /usr/games/pelorin to its first paint under Xvfb as an
# ordinary user, records a result for a member of group games and for an outsider (and for the
# member with the shared directory removed by hand), installs it again over itself, removes and
# purges it, and checks what is left at each step.
# Meant for CI's kind of machine: an installed pelorin and its shared table go first.
#   scripts/test-deb.sh [SCORE_DRIVER]
# SCORE_DRIVER is tests/score_driver of a build (default build/dev/tests/score_driver): the
# game's own score logic, run as each player against the installed game's directory.
set -euo pipefail
cd "$(dirname "$0")/.."
export LC_ALL=C.UTF-8  # a fresh machine may have no locale at all
driver="${1:-build/dev/tests/score_driver}"
[ "$(id -u)" -eq 0 ] || { echo "$0 installs a package: run it as root" >&2; exit 2; }
[ -x "$driver" ] || { echo "no score driver at $driver (build the dev preset first)" >&2; exit 2; }
scripts/install-deps.sh --test --deb

passed=0 failed=0
check() {  # check DESCRIPTION COMMAND...: one line per check, and the counts
  if "${@:2}"; then echo "ok: $1"; passed=$((passed + 1)); else echo "FAIL: $1"; failed=$((failed + 1)); fi
}

package="$(scripts/make-deb.sh)"
package="$(realpath "$package")"
echo "built $package ($(stat -c %s "$package") bytes)"

lintian_is_silent() {  # lintian that fails to run fails too; root's notice goes to stderr
  local tags
  tags="$(lintian --pedantic "$package" 2>/dev/null)" && [ -z "$tags" ] && return
  printf '%s\n' "$tags"
  return 1
}
check "lintian --pedantic reports nothing" lintian_is_silent
listing="$(dpkg-deb -c "$package")"
check "no file in the package is setuid or setgid" \
  test -z "$(awk '$1 ~ /^-/ && $1 ~ /[sS]/' <<<"$listing")"

game_dir=/usr/lib/games/pelorin
shared=/var/games/pelorin
work="$(mktemp -d /tmp/pelorin-deb.XXXXXX)"
chmod 755 "$work"  # the players reach the driver and their homes through it
cp "$driver" "$work/score_driver"
games_gid="$(getent group games | cut -d: -f3)"
# The package's own paths that this machine does not have yet: none may stay after a purge.
new_paths="$(sed -e 's/^[^.]*\.//' -e 's/ -> .*//' <<<"$listing" | sed 's|/$||' | grep -v '^$' |
  while read -r path; do [ -e "$path" ] || [ -L "$path" ] || echo "$path"; done)"
apt_get() {  # apt-get's output only where it fails; others may hold the lock for a while
  DEBIAN_FRONTEND=noninteractive apt-get -y -o DPkg::Lock::Timeout=900 "$@" >"$work/apt.log" 2>&1 ||
    { cat "$work/apt.log"; return 1; }
}
cleanup() {
  dpkg --purge pelorin >/dev/null 2>&1 || true
  rm -rf "$work"
}
trap cleanup EXIT
dpkg --purge pelorin >/dev/null 2>&1 || true
rm -rf "$shared"

install_package() {  # and the sizes apt reports
  apt_get install "$@" "$package" && grep -E '^(Need to get|After this operation)' "$work/apt.log"
}
check "apt-get installs the package" install_package

# The game's default table, as the game itself makes it.
mkdir "$work/defaults"
"$work/score_driver" "$work/defaults" 0 none >/dev/null || true
check "the shared table is the game's default table" cmp -s "$shared/pelorin.sco" "$work/defaults/pelorin.sco"
check "$shared belongs to root and games, mode 2775" \
  test "$(stat -c '%U:%G %a' "$shared")" = "root:games 2775"
check "$game_dir/pelorin.sco is root's link to the shared table" \
  test "$(stat -c %U "$game_dir/pelorin.sco"):$(readlink "$game_dir/pelorin.sco")" = "root:$shared/pelorin.sco"

# A player without an account: a user id, its own group, perhaps games, and a home of its own.
as_player() {  # as_player UID GROUPS COMMAND...
  local home="$work/home-$1"
  [ -d "$home" ] || { mkdir "$home" && chown "$1:$1" "$home"; }
  [ -d "$home/run" ] || { mkdir -m 700 "$home/run" && chown "$1:$1" "$home/run"; }
  setpriv --reuid="$1" --regid="$1" --groups="$2" \
    env -i PATH=/usr/bin:/bin:/usr/games HOME="$home" XDG_RUNTIME_DIR="$home/run" "${@:3}"
}
member=4201 outsider=4202
own_table() { echo "$work/home-$1/.local/state/pelorin/pelorin.sco"; }
holds() { [ -f "$1" ] && grep -qa "$2" "$1"; }
not_holds() { [ -f "$1" ] && ! grep -qa "$2" "$1"; }

check "the game paints its first window for an ordinary user" \
  as_player "$outsider" "$outsider" xvfb-run -a -s "-screen 0 1024x768x24" \
  env QT_QPA_PLATFORM=xcb DBUS_SESSION_BUS_ADDRESS=disabled: PELORIN_QUIT_AFTER_FIRST_PAINT=1 \
  timeout 30 /usr/games/pelorin

as_player "$member" "$member,$games_gid" "$work/score_driver" "$game_dir" 5000 Member --as-game ||
  echo "the member's result was not stored ($?)"
check "a member's result lands in the shared table" holds "$shared/pelorin.sco" Member
check "a member keeps no table of their own" test ! -e "$(own_table "$member")"
as_player "$outsider" "$outsider" "$work/score_driver" "$game_dir" 4000 Outsider --as-game ||
  echo "the outsider's result was not stored ($?)"
check "an outsider's result lands in their own table" holds "$(own_table "$outsider")" Outsider
check "an outsider's result stays out of the shared table" not_holds "$shared/pelorin.sco" Outsider

# The shared directory removed by hand: the member's result goes to their own place, and the
# game makes nothing through the link.
mv "$shared" "$work/shared-aside"
as_player "$member" "$member,$games_gid" "$work/score_driver" "$game_dir" 4500 Removed --as-game ||
  echo "with $shared removed the member's result was not stored ($?)"
check "with $shared removed a member's result lands in their own table" \
  holds "$(own_table "$member")" Removed
check "with $shared removed the game makes nothing there" test ! -e "$shared"
mv "$work/shared-aside" "$shared"

check "installing again over the package" install_package --reinstall
check "installing again keeps the shared table" holds "$shared/pelorin.sco" Member
check "apt-get remove" apt_get remove pelorin
check "removing keeps the shared table" holds "$shared/pelorin.sco" Member
check "apt-get purge" apt_get purge pelorin
check "purging removes $shared" test ! -e "$shared"
left="$(while read -r path; do
  if [ -e "$path" ] || [ -L "$path" ]; then echo "$path"; fi
done <<<"$new_paths")"
[ -z "$left" ] || printf 'left behind: %s\n' $left
check "purging leaves no file of the package" test -z "$left"

echo "package: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
