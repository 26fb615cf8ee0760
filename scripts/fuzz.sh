#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (fuzz preset) and runs them.
#   scripts/fuzz.sh smoke            replays every committed corpus file, then fuzzes each target
#                                    a few seconds (part of the test suite)
#   scripts/fuzz.sh campaign [SECS]  fuzzes each target SECS seconds (default 600), one after the
#                                    other, growing build-fuzz/corpus/<name>; prints executions,
#                                    coverage and crashes per target
#   scripts/fuzz.sh merge            adds the grown inputs that reach new coverage to the
#                                    committed corpora fuzz/corpus/<name>
# Crashing inputs land in build-fuzz/artifacts/<name>/. Copy each into fuzz/corpus/<name>/ once
# fixed, so the smoke run replays it from then on.
set -euo pipefail
cd "$(dirname "$0")/.."
mode="${1:-smoke}"
seconds="${2:-600}"
command -v clang++ >/dev/null || { echo "fuzz: clang not found, skipped"; exit 0; }
ls fuzz/fuzz_*.cpp >/dev/null 2>&1 || { echo "fuzz: no targets"; exit 0; }

[ -f build-fuzz/CMakeCache.txt ] || cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

# Inputs stay small so a run covers many of them; a second per input is already a hang.
common=(-max_len=8192 -timeout=2 -rss_limit_mb=2048)

options_for() { # target name without the fuzz_ prefix
  local dict="fuzz/$1.dict"
  opts=("${common[@]}")
  [ -f "$dict" ] && opts+=(-dict="$dict")
  opts+=(-artifact_prefix="build-fuzz/artifacts/$1/")
  mkdir -p "build-fuzz/artifacts/$1" "build-fuzz/corpus/$1"
}

# Every committed input once, as a regression test: a crash here fails the run.
replay() {
  local bin="$1" seeds="$2"
  local files=("$seeds"/*)
  [ -e "${files[0]}" ] || return 0
  "$bin" "${opts[@]}" -runs=1 "${files[@]}" >"build-fuzz/replay-$(basename "$seeds").log" 2>&1 || {
    tail -n 40 "build-fuzz/replay-$(basename "$seeds").log"
    echo "fuzz: $(basename "$bin") crashed replaying $seeds"
    return 1
  }
  echo "fuzz: $(basename "$bin") replayed ${#files[@]} inputs of $seeds"
}

# Last value of a libFuzzer status field (cov:, ft:, corp:) in a log.
status_field() { grep -o "$1 [0-9/a-zA-Z]*" "$2" | tail -n 1 | cut -d' ' -f2; }
final_stat() { grep "^stat::$1:" "$2" | tail -n 1 | awk '{print $2}'; }

# One target for SECS seconds. A crash stops libFuzzer, so it is restarted for the rest of the
# time (at most 20 times); each crash leaves one artifact.
campaign_target() {
  local name="$1" bin="$2" log="build-fuzz/campaign-$1.log" run="build-fuzz/campaign-$1.run"
  local start end left n runs=0 execs=0 crashes=0 rc
  : >"$log"
  start=$(date +%s)
  end=$((start + seconds))
  while :; do
    left=$((end - $(date +%s)))
    ((left > 0 && runs < 20)) || break
    runs=$((runs + 1))
    rc=0
    "$bin" "${opts[@]}" -max_total_time="$left" -print_final_stats=1 \
      "build-fuzz/corpus/$name" "fuzz/corpus/$name" >"$run" 2>&1 || rc=$?
    cat "$run" >>"$log"
    n="$(final_stat number_of_executed_units "$run")"
    execs=$((execs + ${n:-0}))
    ((rc == 0)) && break
    crashes=$((crashes + 1))
  done
  local spent=$(($(date +%s) - start))
  printf '%-12s %5ss  execs %10s  exec/s %6s  cov %5s  ft %6s  corpus %5s  crashes %s\n' \
    "$name" "$spent" "$execs" "$((execs / (spent > 0 ? spent : 1)))" \
    "$(status_field cov: "$log")" "$(status_field ft: "$log")" \
    "$(find "build-fuzz/corpus/$name" "fuzz/corpus/$name" -type f | wc -l)" "$crashes"
  ((crashes == 0)) || ls "build-fuzz/artifacts/$name/"
}

status=0
for src in fuzz/fuzz_*.cpp; do
  target="$(basename "$src" .cpp)"
  name="${target#fuzz_}"
  bin="build-fuzz/fuzz/$target"
  options_for "$name"
  case "$mode" in
    campaign) campaign_target "$name" "$bin" ;;
    merge)
      "$bin" "${opts[@]}" -merge=1 "fuzz/corpus/$name" "build-fuzz/corpus/$name" 2>&1 | tail -n 1
      echo "fuzz: fuzz/corpus/$name holds $(find "fuzz/corpus/$name" -type f | wc -l) inputs"
      ;;
    smoke)
      replay "$bin" "fuzz/corpus/$name" || { status=1; continue; }
      "$bin" "${opts[@]}" -max_total_time=4 "build-fuzz/corpus/$name" "fuzz/corpus/$name" 2>&1 |
        tail -n 1 || status=1
      ;;
    *) echo "usage: scripts/fuzz.sh [smoke | campaign [seconds] | merge]" >&2; exit 2 ;;
  esac
done
((status == 0)) || { echo "fuzz: a target crashed"; exit 1; }
[ "$mode" = campaign ] || echo "fuzz: all targets ran without a crash"
