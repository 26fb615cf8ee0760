#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks, then configures, builds and installs into the
# default device root:
#   scripts/setup.sh run    the host, the pane's bundle, the watcher and their libraries
#   scripts/setup.sh test   the same, and the test suites and benchmarks (the default)
# Both use the one build directory build/: its test suites and benchmarks are configured once
# their libraries are installed, and `run` builds only its own targets, so one after the other
# rebuilds nothing the other built. Quick when nothing changed: packages are only installed
# when missing, and CMake/Ninja rebuild only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."
purpose="${1:-test}"

RUN_PACKAGES=(
  cmake ninja-build g++ pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev libplist-dev
  psmisc fonts-noto-cjk fonts-inter qt6-translations-l10n
)
TEST_PACKAGES=(
  clang libclang-rt-14-dev libgtest-dev libgmock-dev libbenchmark-dev
  dbus dbus-bin
  locales # the charmaps localedef needs to build the tests' decimal-comma locale
  xvfb at-spi2-core python3-pyatspi
)
packages=("${RUN_PACKAGES[@]}")
case "$purpose" in
  run) ;;
  test) packages+=("${TEST_PACKAGES[@]}") ;;
  *) echo "usage: scripts/setup.sh [run | test]" >&2; exit 2 ;;
esac

step() { # name, seconds since the last step
  echo "setup: $1 in $((SECONDS - started)) s"
  started=$SECONDS
}
started=$SECONDS

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
  step "packages"
fi

# Configured once; again when the test libraries arrived after a configure without them.
if [ ! -f build/CMakeCache.txt ] ||
  { [ "$purpose" = test ] && ! grep -q '^build tests/test_pane:' build/build.ninja; }; then
  cmake --preset default >/dev/null
  step "configure"
fi
if [ "$purpose" = run ]; then
  cmake --build build --target Settings tolvplayerprefs prefwatch
else
  cmake --build build
fi
cmake --install build >/dev/null
step "build"
