#!/usr/bin/env bash
# Sets up, builds with AddressSanitizer and UBSan, and runs every test headless
# (Xvfb and a session D-Bus of its own). Exits non-zero on any failure.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
bash "$root/scripts/setup.sh"
build="$root/build/check"
jobs=$(nproc)
# One Clang build serves the tests, the benchmarks and the fuzz targets: the libraries carry
# AddressSanitizer, UBSan and libFuzzer's coverage counters, the fuzz targets link libFuzzer.
# Line tables only: sanitizer reports keep file and line, the build and links are lighter. The
# test programs precompile their common headers; the libraries and the program compile each
# file with only what it includes, with the run command's compiler, so a file that the run
# command's build (scripts/run.sh) could not compile fails here too. lld links.
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-gline-tables-only -DCMAKE_C_FLAGS_DEBUG=-gline-tables-only \
  -DCMAKE_EXE_LINKER_FLAGS=-fuse-ld=lld -DCASA_SANITIZE=ON -DCASA_FUZZ=ON -DCASA_BENCHMARKS=ON
cmake --build "$build" -j "$jobs"

export XDG_RUNTIME_DIR="$(mktemp -d)"
chmod 700 "$XDG_RUNTIME_DIR"
export HOME_FOR_TESTS="$(mktemp -d)"
export XDG_CONFIG_HOME="$HOME_FOR_TESTS/config" XDG_DATA_HOME="$HOME_FOR_TESTS/data"
# LeakSanitizer's record of each thread's dynamically allocated thread-local blocks (the Qt
# plugins' and the GL driver's libraries use them) can hold a bogus range, starting a few
# kilobytes into memory ("DTLS 8 at 0x000000005ba0-0x000800006ca2" with verbosity=1), and its
# tracer then faults reading it after every test has passed ("Tracer caught signal 11"). Whether
# it does hangs on the heap's layout alone: test_content's first shard met it on every run once
# another test had left the file dialog's settings behind, and passed with any one test left out.
# So the runtime keeps no such record (intercept_tls_get_addr=0); it still scans each thread's
# stack and static thread-local storage, and the whole suite reports no leak without the record.
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:halt_on_error=1:intercept_tls_get_addr=0"
export LSAN_OPTIONS="suppressions=$root/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
cd "$build"
run_tests() { dbus-run-session -- xvfb-run -a -s '-screen 0 1280x1024x24' ctest --output-on-failure --timeout 300 "$@"; }
status=0
run_tests -j "$jobs" || status=$?
# Two failures come from outside the program, and only they run again (up to three times, each
# of the tests still failing, while every failure is of those kinds):
# - on a loaded machine a test program may fail to reach the Xvfb display ("could not connect
#   to display");
# - LeakSanitizer's own tracer, which stops every thread to scan for leaks after a test has
#   passed, crashing inside the sanitizer runtime ("Tracer caught signal"; see ASAN_OPTIONS
#   above for the one cause met so far): the test's own result is already in.
# Anything else, a crash at exit of our own included, is a fault to mend.
only_outside_failures() {
  awk '
    /^[0-9]+\/[0-9]+ Testing: / { outside = 0 }
    /Tracer caught signal|qt\.qpa\.xcb: could not connect to display/ { outside = 1 }
    /^Test Failed\./ { failed++; if (!outside) other++ }
    END { exit !(failed > 0 && other == 0) }' Testing/Temporary/LastTest.log
}
for attempt in 1 2 3; do
  if [ $status -eq 0 ] || ! only_outside_failures; then break; fi
  echo "Only the display connection or the leak checker's tracer failed; running those tests again."
  status=0
  run_tests --rerun-failed -j "$jobs" || status=$?
done

# A failing run ends by listing each failing test with the lines of its output that say why:
# each failed check with its message, sanitizer and crash reports, time-outs.
list_failed_tests() {
  awk '
    function flush() {
      if (name != "" && failed) {
        print "--- " name ":"
        if (nwhy == 0) print "    (no failure line in its output; see the log above)"
        for (i = 1; i <= nwhy && i <= 60; i++) print "    " why[i]
        if (nwhy > 60) print "    (" nwhy - 60 " more lines)"
      }
      name = ""; failed = 0; nwhy = 0; keep = 0
    }
    /^[0-9]+\/[0-9]+ Testing: / { flush(); name = $3; next }
    /^Test Failed\./ { failed = 1; next }
    /^"[^"]*" end time:/ { next }
    {
      if (keep > 0 && ($0 ~ /^\[/ || $0 ~ /^$/)) keep = 0
      if ($0 ~ /: Failure$|^\[  FAILED  \] [A-Za-z]|ERROR: [A-Za-z]+Sanitizer|^SUMMARY: |runtime error:|Tracer caught|could not connect to display|terminate called|what\(\):|Timeout|Segmentation fault|Abort/) {
        why[++nwhy] = $0; keep = ($0 ~ /: Failure$/) ? 12 : 0; next
      }
      if (keep > 0) { why[++nwhy] = $0; keep-- }
    }
    END { flush() }' "$build/Testing/Temporary/LastTest.log"
}

# A short coverage-guided fuzzing run of every reader of outside bytes, each seeded with the
# project's own test files and reproducers (tests/fuzz/corpus/<target>/) and with files the
# program's writers make (FUZZ_SECONDS per target, one target per processor at a time).
tests_status=$status
if [ $status -eq 0 ]; then
  if FUZZ_SECONDS="${FUZZ_SECONDS:-6}" FUZZ_JOBS="$jobs" "$root/scripts/fuzz-readers.sh" "$build" "$build/fuzz"; then
    echo "Fuzzing the readers: no failure."
  else
    echo "Fuzzing the readers found a failure (logs and inputs in $build/fuzz)."
    status=1
  fi
fi
rm -rf "$XDG_RUNTIME_DIR" "$HOME_FOR_TESTS"
if [ $tests_status -ne 0 ]; then
  echo
  echo "Failing tests, with the lines that say why:"
  list_failed_tests
elif [ $status -ne 0 ]; then
  echo
  echo "Failing fuzz targets, with the lines that say why:"
  for f in "$build/fuzz"/*.failed; do
    [ -e "$f" ] || continue
    t="$(basename "$f" .failed)"
    echo "--- fuzz_$t (log: $build/fuzz/$t.log, inputs: $build/fuzz/$t-*):"
    grep -E 'ERROR: |SUMMARY: |runtime error:|deadly signal|ALARM|timeout|out-of-memory|Test unit written' "$build/fuzz/$t.log" | head -n 20 | sed 's/^/    /'
  done
fi
exit $status
