#!/usr/bin/env bash
# Installs what a fresh Debian 12 machine lacks, then configures, builds and installs the pane
# into the default device root. Quick when nothing changed: packages are only installed when
# missing, and CMake/Ninja rebuild only what changed.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
  cmake ninja-build g++ clang libclang-rt-14-dev pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libplist-dev libgtest-dev libgmock-dev libbenchmark-dev
  dbus dbus-bin psmisc
  fonts-noto-cjk fonts-inter qt6-translations-l10n
  xvfb at-spi2-core python3-pyatspi
)

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "setup: installing ${missing[*]}"
  SUDO=""
  [ "$(id -u)" -eq 0 ] || SUDO="sudo"
  $SUDO apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

preset="${QEV_PRESET:-default}"
builddir="build"
[ "$preset" = default ] || builddir="build-$preset"
[ -f "$builddir/CMakeCache.txt" ] || cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset"
cmake --install "$builddir" >/dev/null
