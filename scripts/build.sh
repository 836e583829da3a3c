#!/usr/bin/env bash
# Configures and builds into build/ (or, with --sanitize, build-sanitize/ with
# AddressSanitizer and UndefinedBehaviorSanitizer). Prints the build folder's path.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$root/build"
flags=()
if [ "${1:-}" = "--sanitize" ]; then
  dir="$root/build-sanitize"
  flags=(-DQUILLFEN_SANITIZE=ON)
fi
if [ ! -f "$dir/build.ninja" ]; then
  cmake -S "$root" -B "$dir" -G Ninja "${flags[@]}" >&2
fi
cmake --build "$dir" -j "$(nproc)" >&2
echo "$dir"
