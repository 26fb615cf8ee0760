#!/usr/bin/env bash
# Renders the README's pictures of the Settings window with the real program, light and dark,
# in the language the pane ships in. Run after scripts/run.sh has built and installed it.
set -euo pipefail
cd "$(dirname "$0")/.."
app="$PWD/device-root/usr/bin/Settings"
out="$PWD/docs/images"

render() {
  local name=$1
  shift
  # A bus of its own: no desktop portal or add-on on the machine changes the picture.
  LANG=zh_CN.UTF-8 QT_QPA_PLATFORM=offscreen dbus-run-session -- \
    "$app" --root "$PWD/device-root" --open TOLVPlayer --render "$out/$name.png" "$@" 2>/dev/null
}

for mode in light dark; do
  suffix=$([ "$mode" = dark ] && echo "-dark" || true)
  render "pane-top$suffix" --appearance "$mode"
  render "pane-colors$suffix" --appearance "$mode" --scroll 700
  render "pane-popover$suffix" --appearance "$mode" --popover
done
render pane-scrolled --appearance light --scroll 120
render pane-pulled --appearance light --scroll=-48
# Strips of the rows at twice the density.
render slider-rows --appearance light --size 390x300 --scale 2 --scroll 640
render color-rows --appearance light --size 390x300 --scale 2 --scroll 900
render switch-rows --appearance light --size 390x300 --scale 2 --scroll 230
echo "Rendered into $out"
