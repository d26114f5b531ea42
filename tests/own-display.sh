#!/usr/bin/env bash
# Runs a test program on an X display of its own: a private Xvfb that picks a free display
# number itself (-displayfd), so that programs run side by side never share window
# activation, keyboard focus or a display number. Usage: own-display.sh program [args...]
set -u
dir="$(mktemp -d)"
Xvfb -displayfd 5 -screen 0 1280x1024x24 -nolisten tcp -noreset 5>"$dir/display" 2>"$dir/xvfb.log" &
server=$!
for _ in $(seq 1 200); do
  [ -s "$dir/display" ] && break
  kill -0 "$server" 2>/dev/null || break
  sleep 0.05
done
number="$(tr -dc '0-9' < "$dir/display")"
if [ -z "$number" ]; then
  echo "own-display.sh: Xvfb did not start:" >&2
  cat "$dir/xvfb.log" >&2
  kill "$server" 2>/dev/null
  rm -rf "$dir"
  exit 1
fi
DISPLAY=":$number" "$@"
status=$?
kill "$server" 2>/dev/null
wait "$server" 2>/dev/null
rm -rf "$dir"
exit $status
