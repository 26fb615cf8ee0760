#!/usr/bin/env bash
# Sets everything up and runs the whole test suite on Qt's offscreen platform, with a private
# D-Bus session bus for the notification tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

export QT_QPA_PLATFORM=offscreen
# dbus-run-session starts a private session bus, exports its address, and stops it afterwards.
dbus-run-session -- ctest --test-dir build --output-on-failure -j2

scripts/fuzz.sh smoke
