#!/usr/bin/env bash
# Sets up, builds and starts the program. Arguments are design files to open.
# The program needs a graphical session (DISPLAY or WAYLAND_DISPLAY). Scripts that must start
# it without one set CASAVELT_HEADLESS=1: it then runs under a private Xvfb that nobody sees.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
headless=0
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  if [ "${CASAVELT_HEADLESS:-}" != "1" ]; then
    echo "casavelt needs a graphical session: neither DISPLAY nor WAYLAND_DISPLAY is set." >&2
    echo "Run it from a desktop session (or set CASAVELT_HEADLESS=1 to run it under a private Xvfb)." >&2
    exit 2
  fi
  headless=1
fi
bash "$root/scripts/setup.sh"
build="$root/build/release"
# The compiler the test command builds and checks every file of the program with.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCASA_TESTS=OFF -DCASA_BENCHMARKS=OFF
cmake --build "$build" --target casavelt
if [ "$headless" = "1" ]; then
  exec xvfb-run -a -s '-screen 0 1280x1024x24' "$build/src/app/casavelt" "$@"
fi
exec "$build/src/app/casavelt" "$@"
