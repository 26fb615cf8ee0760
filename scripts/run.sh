#!/usr/bin/env bash
# Sets up what the pane needs to run and opens the Settings window on the default device
# root. Without a display, renders the pane to a PNG and says where.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh run

root="$PWD/device-root"
app="$root/usr/bin/Settings"
if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec "$app" --root "$root" --open "${QEV_ENTRY:-TOLVPlayer}" "$@"
fi
out="$PWD/out/pane.png"
mkdir -p "$(dirname "$out")"
QT_QPA_PLATFORM=offscreen "$app" --root "$root" --open "${QEV_ENTRY:-TOLVPlayer}" --render "$out" "$@"
echo "No display: the pane was rendered to $out"
