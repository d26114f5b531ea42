#!/usr/bin/env bash
# Sets up, builds with AddressSanitizer and UBSan, and runs every test headless
# (Xvfb and a session D-Bus of its own). Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
build="$root/build/test"
jobs=$(nproc)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCASA_SANITIZE=ON -DCASA_BENCHMARKS=ON
cmake --build "$build" -j "$jobs"

export XDG_RUNTIME_DIR="$(mktemp -d)"
chmod 700 "$XDG_RUNTIME_DIR"
export HOME_FOR_TESTS="$(mktemp -d)"
export XDG_CONFIG_HOME="$HOME_FOR_TESTS/config" XDG_DATA_HOME="$HOME_FOR_TESTS/data"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
status=0
dbus-run-session -- xvfb-run -a -s '-screen 0 1280x1024x24' \
  ctest --output-on-failure -j "$jobs" --timeout 300 || status=$?

# A short coverage-guided fuzzing run of the design-file reader, seeded with design files
# written by the program.
if [ $status -eq 0 ]; then
  fuzz_build="$root/build/fuzz"
  CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCASA_SANITIZE=ON -DCASA_FUZZ=ON -DCASA_TESTS=OFF -DCASA_BENCHMARKS=OFF > /dev/null
  cmake --build "$fuzz_build" -j "$jobs" --target fuzz_design_file
  corpus="$(mktemp -d)"
  cp "$root"/tests/fuzz/corpus/* "$corpus"/
  if "$fuzz_build/tests/fuzz/fuzz_design_file" -max_total_time="${FUZZ_SECONDS:-30}" -timeout=5 \
      -rss_limit_mb=4096 -print_final_stats=0 "$corpus" > "$build/fuzz.log" 2>&1; then
    echo "Fuzzing the design-file reader: no failure ($(grep -c . "$build/fuzz.log") log lines)."
  else
    tail -n 40 "$build/fuzz.log"
    echo "Fuzzing the design-file reader found a failure."
    status=1
  fi
  rm -rf "$corpus"
fi
rm -rf "$XDG_RUNTIME_DIR" "$HOME_FOR_TESTS"
exit $status
