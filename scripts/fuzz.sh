#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each from its seed corpus.
#   scripts/fuzz.sh smoke       a few seconds each (part of the test suite)
#   scripts/fuzz.sh campaign N  N seconds each, corpus grown in build-fuzz/corpus
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-smoke}"
seconds="${2:-5}"
command -v clang++ >/dev/null || { echo "fuzz: clang not found, skipped"; exit 0; }
ls fuzz/fuzz_*.cpp >/dev/null 2>&1 || { echo "fuzz: no targets"; exit 0; }

[ -f build-fuzz/CMakeCache.txt ] || cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

for src in fuzz/fuzz_*.cpp; do
  name="$(basename "$src" .cpp)"
  seeds="fuzz/corpus/${name#fuzz_}"
  work="build-fuzz/corpus/${name#fuzz_}"
  mkdir -p "$work"
  if [ "$mode" = campaign ]; then
    "build-fuzz/fuzz/$name" -max_total_time="$seconds" -print_final_stats=1 "$work" "$seeds"
  else
    "build-fuzz/fuzz/$name" -max_total_time=4 -timeout=2 -rss_limit_mb=2048 "$work" "$seeds" 2>&1 | tail -n 1
  fi
done
echo "fuzz: all targets ran without a crash"
