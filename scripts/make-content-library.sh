#!/usr/bin/env bash
# Regenerates the shipped content library in content/ with our own generator. Usage:
#   scripts/make-content-library.sh <build folder>
# The generator is deterministic: running it again changes no file.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:?usage: $0 <build folder>}"
ninja -C "$build" casa_library_generator
"$build/src/content/casa_library_generator" "$root/content"
