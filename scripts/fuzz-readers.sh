#!/usr/bin/env bash
# Runs every reader fuzz target of a fuzzing build briefly: each is seeded with the files in
# tests/fuzz/corpus/<target>/ and with files the program's own writers make. Usage:
#   scripts/fuzz-readers.sh <fuzz build folder> <log folder>
# FUZZ_SECONDS (default 8) is the run time of each target; FUZZ_JOBS (default: the number
# of processors) targets run at once. Exits non-zero when any target finds a failure.
set -uo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
fuzz_build="$1"
logs="$2"
seconds="${FUZZ_SECONDS:-8}"
jobs="${FUZZ_JOBS:-$(nproc)}"
bin="$fuzz_build/tests/fuzz"
mkdir -p "$logs"
rm -f "$logs"/*.failed
corpus="$(mktemp -d)"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:intercept_tls_get_addr=0}"
export QT_QPA_PLATFORM=offscreen
targets="design_file undo_snapshot clipboard_scrap template_file symbol_file topo_grid_file cabinet_file
object_file palette_file plug_out_file plug_in_file ini_file texture_info plant_info image_loader texture_image content_drag_record content_catalogue
design_3d content_preview content_provider typed_values user_defaults custom_definition"
for t in $targets; do
  mkdir -p "$corpus/$t"
  if [ -d "$root/tests/fuzz/corpus/$t" ]; then cp "$root/tests/fuzz/corpus/$t"/* "$corpus/$t"/ 2>/dev/null; fi
done
"$bin/fuzz_seed_writer" "$corpus" > "$logs/seed_writer.log" 2>&1 || echo "The seed writer failed (see $logs/seed_writer.log)."

run_one() {
  local t="$1"
  # One input of the 3D road may build the builders' limit of parts on every run of a design,
  # which under the sanitizers and the coverage counters takes several seconds.
  local per_input=5
  [ "$t" = design_3d ] && per_input=20
  if "$bin/fuzz_$t" -max_total_time="$seconds" -timeout="$per_input" -rss_limit_mb=2048 -malloc_limit_mb=512 \
      -print_final_stats=0 -artifact_prefix="$logs/$t-" "$corpus/$t" > "$logs/$t.log" 2>&1; then
    echo "fuzz_$t: no failure"
  else
    echo "fuzz_$t: FAILURE (see $logs/$t.log)"
    : > "$logs/$t.failed"
    tail -n 30 "$logs/$t.log"
    return 1
  fi
}
export -f run_one
export bin seconds corpus logs
status=0
printf '%s\n' $targets | xargs -P "$jobs" -I{} bash -c 'run_one {}' || status=1
rm -rf "$corpus"
exit $status
