#!/bin/sh
# Runs a command under a headless weston with XWayland, as on a Wayland desktop: WAYLAND_DISPLAY
# names the compositor and DISPLAY its X server. Usage: under_weston.sh WESTON COMMAND...
set -u
weston=$1
shift
runtime=$(mktemp -d)
chmod 700 "$runtime"
export XDG_RUNTIME_DIR="$runtime"
socket="pelorin-test-$$"
"$weston" --backend=headless-backend.so --use-pixman --debug --xwayland --socket="$socket" \
  --width=1024 --height=768 >"$runtime/weston.log" 2>&1 &
compositor=$!
display=""
for _ in $(seq 100); do
  display=$(sed -n 's/.*xserver listening on display \(:[0-9]*\).*/\1/p' "$runtime/weston.log")
  [ -n "$display" ] && break
  sleep 0.1
done
status=1
if [ -n "$display" ]; then
  WAYLAND_DISPLAY="$socket" DISPLAY="$display" "$@"
  status=$?
else
  echo "weston did not start with XWayland:" >&2
  cat "$runtime/weston.log" >&2
fi
kill "$compositor"
wait "$compositor" 2>/dev/null
rm -rf "$runtime"
exit "$status"
