#!/usr/bin/env bash
# Fuzzes one target for a given time: fuzz/run.sh TARGET SECONDS
# TARGET is language_list, json_round_trip or picture. Starts from the seeds in
# fuzz/corpus/TARGET and grows a working corpus in build-fuzz/corpus/TARGET; a crash input
# is written to fuzz/crashes/TARGET (commit it: the test suite replays it from then on).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
target="${1:?target: language_list, json_round_trip or picture}"
seconds="${2:?seconds}"
dir="$root/build-fuzz"
if [ ! -f "$dir/build.ninja" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$dir" -G Ninja -DQUILLFEN_FUZZ=ON -DBUILD_TESTING=OFF >&2
fi
cmake --build "$dir" --target "${target}_fuzzer" >&2
dictionary=()
[ -f "$root/fuzz/$target.dict" ] && dictionary=(-dict="$root/fuzz/$target.dict")
mkdir -p "$dir/corpus/$target"
"$dir/fuzz/${target}_fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -timeout=30 \
  -artifact_prefix="$root/fuzz/crashes/$target/" "${dictionary[@]}" "$dir/corpus/$target" "$root/fuzz/corpus/$target"
