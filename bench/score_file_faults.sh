#!/usr/bin/env bash
# Fault injection against the score file, case by case, with what the file holds afterwards:
#   bench/score_file_faults.sh [DRIVER] [ROUNDS]
# DRIVER is tests/score_driver of a build (default build/dev/tests/score_driver). Cases that
# need root (two users, loop-mounted XFS) or strace are skipped with a note where missing.
set -u
driver="${1:-build/dev/tests/score_driver}"
rounds="${2:-10}"
[ -x "$driver" ] || { echo "no driver at $driver (build the dev preset first)" >&2; exit 2; }
driver="$(cd "$(dirname "$driver")" && pwd)/$(basename "$driver")"
work="$(mktemp -d /tmp/pelorin-faults.XXXXXX)"
chmod 755 "$work"  # the other users' games must reach their directories
trap 'umount "$work/mnt" "$work/copy" 2>/dev/null; rm -rf "$work"' EXIT

# The file's size, and whether NAME is in it.
holds() { [ "$(stat -c %s "$1/pelorin.sco")" = 220 ] && grep -qa "$2" "$1/pelorin.sco"; }
extra_files() { find "$1" -maxdepth 1 -name 'pelorin.sco.*' | wc -l; }
report() { printf '%-44s %s\n' "$1" "$2"; }

# Two games read the table, then confirm their names in turn: both results must be kept.
kept=0
for round in $(seq "$rounds"); do
  dir="$work/two-$round"; mkdir "$dir"
  mkfifo "$dir.a" "$dir.b"
  "$driver" "$dir" 4000 "A$round" --wait <"$dir.a" &
  "$driver" "$dir" 3900 "B$round" --wait <"$dir.b" &
  exec {a_in}>"$dir.a" {b_in}>"$dir.b"
  sleep 0.2  # both have read the table: their dialogs are open
  if [ $((round % 2)) = 0 ]; then echo >&"$a_in"; sleep 0.1; echo >&"$b_in"; else echo >&"$b_in"; echo >&"$a_in"; fi
  wait
  exec {a_in}>&- {b_in}>&-
  holds "$dir" "A$round" && holds "$dir" "B$round" && kept=$((kept + 1))
done
report "two copies, both results kept" "$kept of $rounds rounds"

# Kills in the middle of a rewrite (strace stops the game at the chosen system call).
if command -v strace >/dev/null; then
  dir="$work/kills"; mkdir "$dir"; "$driver" "$dir" 0 setup >/dev/null
  old_or_new=0; kills=0; tries=0
  exec 3>&2 2>/dev/null  # the shell's own note on each killed game
  for round in $(seq "$rounds"); do
    for calls in fsync,fdatasync linkat,link rename,renameat,renameat2; do
      before="$(md5sum <"$dir/pelorin.sco")"
      (strace -qq -o /dev/null -e trace=$calls -e inject=$calls:signal=SIGKILL:when=1 \
        "$driver" "$dir" $((4000 + round)) "K$round" >/dev/null 2>&1)
      [ $? = 137 ] && kills=$((kills + 1))
      tries=$((tries + 1))
      [ "$(stat -c %s "$dir/pelorin.sco")" = 220 ] &&
        { [ "$before" = "$(md5sum <"$dir/pelorin.sco")" ] || grep -qa "K$round" "$dir/pelorin.sco"; } &&
        old_or_new=$((old_or_new + 1))
    done
  done
  exec 2>&3 3>&-
  left="$(extra_files "$dir")"
  touch -d '2 minutes ago' "$dir"/pelorin.sco.*.tmp 2>/dev/null
  "$driver" "$dir" 6000 next >/dev/null
  report "kills at sync, link, rename" "$kills kills in $tries tries"
  report "  file the old or new 220 bytes" "$old_or_new of $tries"
  report "temporary files after the kills" "$left; after the next write: $(extra_files "$dir")"
else
  report "kills" "skipped: strace not installed"
fi

# A link to a file elsewhere: the target takes the result, the link stays.
kept=0
for round in $(seq "$rounds"); do
  dir="$work/link-$round"; mkdir -p "$dir/game" "$dir/else"
  "$driver" "$dir/else" 0 setup >/dev/null; mv "$dir/else/pelorin.sco" "$dir/else/table"
  ln -s ../else/table "$dir/game/pelorin.sco"
  "$driver" "$dir/game" 5000 "L$round" >/dev/null
  [ -L "$dir/game/pelorin.sco" ] && grep -qa "L$round" "$dir/else/table" && kept=$((kept + 1))
done
report "symlink: target updated, link kept" "$kept of $rounds rounds"

# A pipe put in the file's place while the dialog is open: the game must not hang.
answered=0
for round in $(seq "$rounds"); do
  dir="$work/fifo-$round"; mkdir "$dir"; "$driver" "$dir" 0 setup >/dev/null
  mkfifo "$dir.go"
  "$driver" "$dir" 5000 pipe --wait <"$dir.go" >/dev/null 2>&1 &
  game=$!
  exec {go}>"$dir.go"
  sleep 0.1
  rm "$dir/pelorin.sco"; mkfifo "$dir/pelorin.sco"
  echo >&"$go"; exec {go}>&-
  for _ in $(seq 20); do kill -0 "$game" 2>/dev/null || break; sleep 0.05; done
  if kill -0 "$game" 2>/dev/null; then kill -9 "$game"; else answered=$((answered + 1)); fi
  wait "$game" 2>/dev/null
done
report "pipe in place: answered within 1 s" "$answered of $rounds rounds"

if [ "$(id -u)" = 0 ]; then
  # Two users sharing the table through a group, directory writable or not.
  for mode in 0775 0755; do
    dir="$work/shared-$mode"; mkdir "$dir"
    "$driver" "$dir" 0 setup >/dev/null
    chown 0:54000 "$dir" "$dir/pelorin.sco"; chmod "$mode" "$dir"; chmod 0664 "$dir/pelorin.sco"
    kept=0
    for round in $(seq "$rounds"); do
      user=$((54001 + round % 2))
      setpriv --reuid=$user --regid=$user --groups=54000 sh -c "umask 022; exec '$driver' '$dir' $((4000 + round)) U$round" >/dev/null
      grep -qa "U$round" "$dir/pelorin.sco" && kept=$((kept + 1))
    done
    report "shared group, directory $mode: result kept" "$kept of $rounds results"
  done

  # Links in a directory shared as the README suggests (root's, group 54000, mode 2775). The
  # first player keeps files in a home of their own that the second cannot enter.
  as() { user=$1; shift; setpriv --reuid="$user" --regid="$user" --groups=54000 "$@"; }
  home="$work/home"; mkdir "$home"; chown 54001:54001 "$home"; chmod 700 "$home"
  shared_table() {
    dir="$work/$1"; mkdir "$dir"; chown 0:54000 "$dir"; chmod 2775 "$dir"
    as 54001 sh -c "umask 002; exec '$driver' '$dir' 5000 Alice" >/dev/null
  }
  victim_file() {
    victim="$home/victim-$1.txt"
    as 54001 sh -c "echo 'precious data' >'$victim'; chmod 600 '$victim'"
  }
  fingerprint() { stat -c '%s %a %u:%g' "$1"; md5sum <"$1"; }

  # The second player swaps the table for a link to a file of the first player's.
  kept=0; stored=0; blocked=0
  for round in $(seq "$rounds"); do
    shared_table "planted-$round"; victim_file "$round"; before="$(fingerprint "$victim")"
    as 54002 sh -c "rm '$dir/pelorin.sco' && ln -s '$victim' '$dir/pelorin.sco'"
    as 54001 timeout 5 "$driver" "$dir" 6000 Alice >/dev/null 2>&1
    case $? in 0) stored=$((stored + 1)) ;; 124 | 137) blocked=$((blocked + 1)) ;; esac
    [ "$(fingerprint "$victim")" = "$before" ] && [ -L "$dir/pelorin.sco" ] && kept=$((kept + 1))
  done
  report "planted link: target and link kept" "$kept of $rounds rounds"
  report "  result stored through it / game blocked" "$stored / $blocked of $rounds rounds"

  # Links that the player or the directory's owner made are followed.
  mkdir "$work/tables"; chown 0:54000 "$work/tables"; chmod 2775 "$work/tables"
  own=0; owners=0
  for round in $(seq "$rounds"); do
    shared_table "own-$round"; table="$home/table-$round"
    as 54001 sh -c "mv '$dir/pelorin.sco' '$table' && ln -s '$table' '$dir/pelorin.sco'"
    as 54001 "$driver" "$dir" 6000 "O$round" >/dev/null
    [ -L "$dir/pelorin.sco" ] && grep -qa "O$round" "$table" && own=$((own + 1))
    shared_table "owners-$round"; table="$work/tables/table-$round"
    mv "$dir/pelorin.sco" "$table"; chmod 664 "$table"; ln -s "$table" "$dir/pelorin.sco"
    as 54001 "$driver" "$dir" 6000 "R$round" >/dev/null
    [ -L "$dir/pelorin.sco" ] && grep -qa "R$round" "$table" && owners=$((owners + 1))
  done
  report "player's own link: target updated" "$own of $rounds rounds"
  report "directory owner's link: target updated" "$owners of $rounds rounds"

  # The second player plants a stale temporary name that links to a file of the first's.
  untouched=0
  for round in $(seq "$rounds"); do
    shared_table "temporary-$round"; victim_file "t$round"; before="$(fingerprint "$victim")"
    planted="$dir/pelorin.sco.$(printf '%016x' "$round").tmp"
    as 54002 sh -c "ln -s '$victim' '$planted' && touch -h -d '2 minutes ago' '$planted'"
    as 54001 "$driver" "$dir" 6000 "T$round" >/dev/null
    [ "$(fingerprint "$victim")" = "$before" ] && holds "$dir" "T$round" &&
      untouched=$((untouched + 1))
  done
  report "planted temporary name: outside unchanged" "$untouched of $rounds rounds"

  # Power cut on XFS: the image is copied while mounted, right after a result was recorded.
  if command -v mkfs.xfs >/dev/null && truncate -s 300M "$work/xfs.img" &&
    mkfs.xfs -q "$work/xfs.img" && mkdir "$work/mnt" "$work/copy" &&
    mount -o loop "$work/xfs.img" "$work/mnt" 2>/dev/null; then
    new=0; old=0; short=0
    for round in $(seq "$rounds"); do
      dir="$work/mnt/cut-$round"; mkdir "$dir"; "$driver" "$dir" 0 setup >/dev/null; sync
      "$driver" "$dir" 5000 "P$round" >/dev/null
      cp --sparse=always "$work/xfs.img" "$work/cut.img"
      mount -o loop,nouuid "$work/cut.img" "$work/copy"
      file="$work/copy/cut-$round/pelorin.sco"
      if [ "$(stat -c %s "$file" 2>/dev/null)" != 220 ]; then short=$((short + 1))
      elif grep -qa "P$round" "$file"; then new=$((new + 1)); else old=$((old + 1)); fi
      umount "$work/copy"; rm -f "$work/cut.img"
    done
    umount "$work/mnt"
    report "power cut on XFS: new / old / short file" "$new / $old / $short of $rounds cuts"
  else
    report "power cut on XFS" "skipped: no mkfs.xfs or loop mounts not permitted"
  fi
else
  report "shared group, power cut" "skipped: needs root"
fi
