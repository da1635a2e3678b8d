#!/bin/sh
# Draws docs/main-window.png and docs/options-dialog.png: the main window with
# the sample bitmap open and the options dialog over it, on a virtual X
# display. Usage: tools/take-screenshot.sh [BUILD]
set -eu
build=${1:-build}
cd "$(dirname "$0")/.."
mkdir -p docs
xvfb-run -a -s "-screen 0 1024x768x24 -dpi 96" \
  "$build/tests/window-screenshot" samples/rastrel-sample.bmp docs/main-window.png \
  --options docs/options-dialog.png
echo "Wrote docs/main-window.png and docs/options-dialog.png"
