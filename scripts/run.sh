#!/usr/bin/env bash
# Sets up, builds and starts the program. Arguments are design files to open.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
build="$root/build/release"
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCASA_TESTS=OFF -DCASA_BENCHMARKS=OFF
cmake --build "$build" --target casavelt
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display: starting under Xvfb."
  exec xvfb-run -a -s '-screen 0 1280x1024x24' "$build/src/app/casavelt" "$@"
fi
exec "$build/src/app/casavelt" "$@"
