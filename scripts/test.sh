#!/usr/bin/env bash
# Sets everything up and runs the whole test suite on Qt's offscreen platform, with a private
# D-Bus session bus for the notification tests; then the suites again under AddressSanitizer and
# UndefinedBehaviorSanitizer (asan preset, build-asan/); then the fuzz smoke run.
# QEV_SANITIZE_SUITES=0 skips the sanitizer stage (quick local runs; CI always runs it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh test

export QT_QPA_PLATFORM=offscreen
# dbus-run-session starts a private session bus, exports its address, and stops it afterwards.
dbus-run-session -- ctest --test-dir build --output-on-failure -j2

if [ "${QEV_SANITIZE_SUITES:-1}" != 0 ]; then
  [ -f build-asan/CMakeCache.txt ] || cmake --preset asan >/dev/null
  # The default target: every suite plus the programs and the bundle some of them start.
  cmake --build --preset asan -j2
  # Any report fails the test: ASan and UBSan stop at the first error (the build also passes
  # -fno-sanitize-recover=undefined). Leaks are checked too; scripts/lsan.supp is where a
  # system library's allocation kept until exit would be named (none so far), never our code.
  export ASAN_OPTIONS="halt_on_error=1:detect_leaks=1:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1"
  export UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1"
  export LSAN_OPTIONS="suppressions=$PWD/scripts/lsan.supp:print_suppressions=0"
  dbus-run-session -- ctest --test-dir build-asan --output-on-failure -j2
fi

scripts/fuzz.sh smoke
