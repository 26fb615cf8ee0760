#!/usr/bin/env bash
# What the test suites catch: puts one small, realistic fault at a time (scripts/mutants.txt)
# into a scratch copy of the tree, builds it, runs the suites and says whether one failed.
# A tool for people; CI does not run it.
#
#   scripts/mutants.sh [--keep] [--list] [ID...]
#
#   ID...   only these faults (default: every fault in the table)
#   --keep  keep the scratch copy and its build (build-mutants/) for a quicker rerun
#   --list  only say, without building, which faults still apply to the tree
#
# The scratch copy holds the working tree as it is (tracked and untracked files, not ignored
# ones), so uncommitted changes count; the working tree itself is never touched. The suites
# run one at a time, each under its own private session bus on Qt's offscreen platform, as
# scripts/test.sh runs them (its sanitizer and fuzz stages are left out). The suite of the
# fault's own layer runs first, then the others, quickest first. The first that fails, or
# runs past three times its clean time plus a minute, kills the fault. Failed tests run once
# more on their own: a failure they do not repeat was chance, and the line says "flaky".
set -euo pipefail
cd "$(dirname "$0")/.."
top=$PWD
scratch=$top/build-mutants
logs=$scratch/logs
# The copy's own table and helper are used once it is made, so editing them mid-run is safe.
table=scripts/mutants.txt
helper=scripts/mutants-table.pl

# Brings the copy level with the working tree, writing only files that differ: a file put
# back after a fault keeps its newer time, so the next build compiles it again.
sync_copy() {
  local listed
  listed=$(git ls-files -co --exclude-standard | sort -u)
  while IFS= read -r file; do
    if [ -f "$file" ] && ! cmp -s "$file" "$scratch/$file"; then
      mkdir -p "$scratch/$(dirname "$file")"
      cp "$file" "$scratch/$file"
    fi
  done <<<"$listed"
  # Files gone from the tree go from the copy too: a test file left behind would be built.
  (cd "$scratch" && find . \( -path ./build -o -path ./logs \) -prune -o -type f -print |
    sed 's|^\./||' | sort | comm -23 - <(echo "$listed") | xargs -r -d '\n' rm -f --)
}

build() {
  local log=$1
  if [ ! -f "$scratch/build/CMakeCache.txt" ]; then
    local launcher=()
    command -v ccache >/dev/null &&
      launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
    (cd "$scratch" && cmake --preset default -DQEV_BUILD_BENCH=OFF "${launcher[@]}") >"$log" 2>&1 ||
      return 1
  fi
  ninja -C "$scratch/build" -j2 >>"$log" 2>&1
}

# Runs a command under a time limit, under its own session bus on the offscreen platform, in
# the process group timeout makes (so an interrupted run can stop all of it). Sets `result` to
# "passed", "failed" or "timed out".
running=""
run_limited() {
  local seconds=$1 log=$2 rc=0
  shift 2
  QT_QPA_PLATFORM=offscreen timeout -k 10 "$seconds" dbus-run-session -- "$@" >"$log" 2>&1 &
  running=$!
  wait "$running" || rc=$?
  running=""
  case $rc in
    0) result=passed ;;
    124 | 137) result="timed out" ;;
    *) result=failed ;;
  esac
}

# Runs one suite through ctest. The tests that failed run once more, alone (GoogleTest takes
# GTEST_FILTER from the environment): when they pass then, they failed by chance, and
# `result` is "flaky".
run_suite() {
  local suite=$1 seconds=$2 log=$3 failed
  run_limited "$seconds" "$log" \
    ctest --test-dir "$scratch/build" -R "^$suite\$" --output-on-failure
  [ "$result" = failed ] || return 0
  # Empty for a crash, or for a suite that is not GoogleTest (the AT-SPI script).
  failed=$(sed -n 's/^\[  FAILED  \] \([^ ,]*\).*/\1/p' "$log" | { grep -v '^[0-9]*$' || true; } |
    sort -u | paste -sd:)
  [ -n "$failed" ] || return 0 # a crash, or no GoogleTest names to run again
  GTEST_FILTER=$failed run_limited "$seconds" "${log%.log}.again.log" \
    ctest --test-dir "$scratch/build" -R "^$suite\$" --output-on-failure
  if [ "$result" = passed ]; then result=flaky; else result=failed; fi
}
trap '[ -z "$running" ] || kill -- -"$running" 2>/dev/null; exit 130' INT TERM

suite_of_file() {
  case $1 in
    platform/*) local rest=${1#platform/}; echo "test_${rest%%/*}" ;;
    framework/* | cells/* | pane/* | app/* | tools/*) echo "test_${1%%/*}" ;;
  esac
}

main() {
  local keep=0 list=0 argument line id file what
  local -A wanted=()
  for argument in "$@"; do
    case $argument in
      --keep) keep=1 ;;
      --list) list=1 ;;
      -*) sed -n '6,10s/^# \{0,1\}//p' "$0" >&2; exit 2 ;;
      *) wanted[$argument]=1 ;;
    esac
  done

  # Lines of id <tab> file <tab> what, for the faults asked for.
  local listing faults=() missing=()
  local all=$((${#wanted[@]} == 0))
  listing=$(perl "$helper" list "$table")
  while IFS= read -r line; do
    id=${line%%$'\t'*}
    if ((all)) || [ -n "${wanted[$id]:-}" ]; then
      faults+=("$line")
      wanted[$id]=found
    fi
  done <<<"$listing"
  for id in "${!wanted[@]}"; do
    [ "${wanted[$id]}" = found ] || missing+=("$id")
  done
  if ((${#missing[@]})); then
    echo "mutants: not in the table: ${missing[*]}" >&2
    exit 2
  fi

  if ((list)); then
    for line in "${faults[@]}"; do
      IFS=$'\t' read -r id file what <<<"$line"
      local state=applies
      perl "$helper" check "$table" "$id" "$top" >/dev/null || state=stale
      printf '%-28s %-8s %s\n' "$id" "$state" "$file"
    done
    exit 0
  fi

  local started
  started=$(date +%s)
  echo "# mutants at $(git log -1 --format='%h %s')$([ -z "$(git status --porcelain)" ] ||
    echo ' (with uncommitted changes)')"
  echo "# started $(date -u '+%Y-%m-%d %H:%M UTC'), $(nproc) cores"

  rm -rf "$logs"
  mkdir -p "$logs"
  sync_copy
  if ! build "$logs/clean.build.log"; then
    echo "mutants: the tree does not build as it is; see $logs/clean.build.log" >&2
    exit 1
  fi

  # The clean run: every suite must pass; its time sets the suite's limit and the order.
  local -A limit=()
  local suite seconds t0 timed=() suites=()
  for suite in $(ctest --test-dir "$scratch/build" -N | sed -n 's/^ *Test *#[0-9]*: //p'); do
    t0=$(date +%s)
    run_suite "$suite" 1200 "$logs/clean.$suite.log"
    [ "$result" != flaky ] ||
      echo "# clean run: a test of $suite failed by chance; see ${logs#"$top"/}/clean.$suite.log"
    if [ "$result" != passed ] && [ "$result" != flaky ]; then
      echo "mutants: $suite $result on the tree as it is; see $logs/clean.$suite.log" >&2
      exit 1
    fi
    seconds=$(($(date +%s) - t0 + 1))
    limit[$suite]=$((3 * seconds + 60))
    timed+=("$seconds $suite")
  done
  mapfile -t suites < <(printf '%s\n' "${timed[@]}" | sort -n | cut -d' ' -f2)
  echo "# clean run: every suite passes; $(($(date +%s) - started)) s with the build"

  local killed=0 survived=0 stale=0 broken=0 saved outcome first order flaky
  for line in "${faults[@]}"; do
    IFS=$'\t' read -r id file what <<<"$line"
    saved=$(mktemp)
    if ! cp "$scratch/$file" "$saved" 2>/dev/null ||
      ! perl "$scratch/$helper" apply "$scratch/$table" "$id" "$scratch" >/dev/null; then
      outcome=stale
      ((++stale))
    elif ! build "$logs/$id.build.log"; then
      outcome="does not build"
      ((++broken))
    else
      outcome=survived
      first=$(suite_of_file "$file")
      order=("$first")
      for suite in "${suites[@]}"; do
        [ "$suite" = "$first" ] || order+=("$suite")
      done
      flaky=""
      for suite in "${order[@]}"; do
        [ -n "${limit[$suite]:-}" ] || continue
        run_suite "$suite" "${limit[$suite]}" "$logs/$id.$suite.log"
        case $result in
          failed) outcome="killed ($suite)" ;;
          "timed out") outcome="killed ($suite, timed out)" ;;
          flaky) flaky+=" $suite" && continue ;;
          *) continue ;;
        esac
        break
      done
      if [ "$outcome" = survived ]; then
        ((++survived))
        [ -z "$flaky" ] || outcome="survived (flaky:$flaky)"
      else
        ((++killed))
      fi
    fi
    # Put back by writing, not by moving: the new time makes the next build compile it again.
    [ "$outcome" = stale ] || cat "$saved" >"$scratch/$file"
    rm -f "$saved"
    printf '%-28s %-28s %s\n' "$id" "$outcome" "$what"
  done

  # Every file is level with the tree again; the last fault's objects are rebuilt by the
  # next run's clean build.
  ((keep)) || find "$scratch" -mindepth 1 -maxdepth 1 ! -name logs -exec rm -rf {} +
  local elapsed=$(($(date +%s) - started))
  echo "# wall time $((elapsed / 60)) min $((elapsed % 60)) s; logs in ${logs#"$top"/}"
  local summary="$killed killed, $survived survived"
  ((stale == 0)) || summary+=", $stale stale"
  ((broken == 0)) || summary+=", $broken do not build"
  echo "$summary"
}

# Read whole before it runs, so an edit to this file cannot change a run under way.
main "$@"; exit
