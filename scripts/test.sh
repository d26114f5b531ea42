#!/usr/bin/env bash
# Sets up, builds with AddressSanitizer and UBSan, and runs every test headless
# (Xvfb and a session D-Bus of its own). Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
build="$root/build/test"
jobs=$(nproc)
# Line tables only (-g1): sanitizer reports keep file and line, the build and links are lighter.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
  -DCMAKE_C_FLAGS_DEBUG=-g1 -DCASA_SANITIZE=ON -DCASA_BENCHMARKS=ON
cmake --build "$build" -j "$jobs"

export XDG_RUNTIME_DIR="$(mktemp -d)"
chmod 700 "$XDG_RUNTIME_DIR"
export HOME_FOR_TESTS="$(mktemp -d)"
export XDG_CONFIG_HOME="$HOME_FOR_TESTS/config" XDG_DATA_HOME="$HOME_FOR_TESTS/data"
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
run_tests() { dbus-run-session -- xvfb-run -a -s '-screen 0 1280x1024x24' ctest --output-on-failure --timeout 300 "$@"; }
status=0
run_tests -j "$jobs" || status=$?
# Two failures come from the machine, not from the program: LeakSanitizer's own tracer now and
# then crashes while it stops the threads at exit ("Tracer caught signal", after the test has
# passed), and on a loaded machine a test program may fail to reach the X display. When every
# failure is of those kinds, the failed tests run again.
only_machine_failures() {
  awk '
    /^[0-9]+\/[0-9]+ Testing: / { machine = 0 }
    /Tracer caught signal|qt\.qpa\.xcb: could not connect to display/ { machine = 1 }
    /^Test Failed\./ { failed++; if (!machine) other++ }
    END { exit !(failed > 0 && other == 0) }' Testing/Temporary/LastTest.log
}
# A rerun may meet the tracer again: up to three reruns, each of the tests still failing, and
# only while every failure is of those kinds.
for attempt in 1 2 3; do
  if [ $status -eq 0 ] || ! only_machine_failures; then break; fi
  echo "Only the leak checker's tracer or the connection to the display failed; running those tests again."
  status=0
  run_tests --rerun-failed -j "$jobs" || status=$?
done

# A short coverage-guided fuzzing run of every reader of outside bytes, each seeded with the
# project's own test files and reproducers (tests/fuzz/corpus/<target>/) and with files the
# program's writers make (FUZZ_SECONDS per target, one target per processor at a time).
if [ $status -eq 0 ]; then
  fuzz_build="$root/build/fuzz"
  CC=clang CXX=clang++ cmake -S "$root" -B "$fuzz_build" -G Ninja -DCMAKE_BUILD_TYPE=Debug \
    -DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only -DCMAKE_C_FLAGS_DEBUG=-gline-tables-only \
    -DCASA_SANITIZE=ON -DCASA_FUZZ=ON -DCASA_TESTS=OFF -DCASA_BENCHMARKS=OFF > /dev/null
  cmake --build "$fuzz_build" -j "$jobs" --target fuzz_all
  if FUZZ_SECONDS="${FUZZ_SECONDS:-6}" FUZZ_JOBS="$jobs" "$root/scripts/fuzz-readers.sh" "$fuzz_build" "$build/fuzz"; then
    echo "Fuzzing the readers: no failure."
  else
    echo "Fuzzing the readers found a failure (logs and inputs in $build/fuzz)."
    status=1
  fi
fi
rm -rf "$XDG_RUNTIME_DIR" "$HOME_FOR_TESTS"
exit $status
