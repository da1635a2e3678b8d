#!/usr/bin/env bash
# Opens and saves a generated SIDE x SIDE diagram in the real main window
# (tests/window-open-save, on Xvfb when xvfb-run is there, else on Qt's
# offscreen platform) and converts it with rastrel-convert, each under
# /usr/bin/time, and prints wall time and peak resident memory per round.
# Fails unless the window showed both scroll bars, the bar reached the last
# row and ended at 0, and the window and the converter wrote the same file.
#
#   bench/big-picture.sh [BUILD_DIR] [SIDE] [ROUNDS]
set -euo pipefail

build=${1:-build}
side=${2:-16384}
rounds=${3:-3}
work=$(mktemp -d "${TMPDIR:-/tmp}/rastrel-big.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$build/bench/make-bench-bitmap" diagram "$side" "$side" "$work/diagram.bmp"

if command -v xvfb-run >/dev/null; then
  display=(xvfb-run -a -s "-screen 0 1024x768x24")
  platform=Xvfb
else
  display=(env QT_QPA_PLATFORM=offscreen)
  platform=offscreen
fi

echo "diagram ${side}x${side}: BMP $(stat -c %s "$work/diagram.bmp") bytes," \
  "decoded picture $((side * side * 4 / 1024)) KiB; window on $platform"
printf '%-6s %-10s %8s %10s %8s %12s %8s %8s\n' round program "wall s" "peak KiB" "open s" \
  "open rss KiB" "save s" painted
for ((i = 1; i <= rounds; i++)); do
  rm -f "$work/window.gra" "$work/convert.gra"
  sync
  "${display[@]}" /usr/bin/time -f "%e %M" -o "$work/window.time" \
    "$build/tests/window-open-save" "$work/diagram.bmp" "$work/window.gra" \
    >"$work/window.out" 2>"$work/window.err" ||
    { cat "$work/window.out" "$work/window.err" >&2; echo "the window run failed" >&2; exit 1; }
  field() { sed -n "s/^$1: //p" "$work/window.out"; }
  [ "$(field 'scroll bars')" = both ] || { echo "no scroll bars" >&2; exit 1; }
  read -r wall peak <"$work/window.time"
  printf '%-6s %-10s %8s %10s %8s %12s %8s %8s\n' "$i" window "$wall" "$peak" \
    "$(field 'open seconds')" "$(field 'resident KiB after open')" "$(field 'save seconds')" \
    "$(field 'bar positions painted')"

  /usr/bin/time -f "%e %M" -o "$work/convert.time" \
    "$build/cli/rastrel-convert" --quiet "$work/diagram.bmp" "$work/convert.gra"
  read -r wall peak <"$work/convert.time"
  printf '%-6s %-10s %8s %10s\n' "$i" converter "$wall" "$peak"
  cmp -s "$work/window.gra" "$work/convert.gra" ||
    { echo "the window and the converter wrote different files" >&2; exit 1; }
done
echo "last window run:"
sed 's/^/  /' "$work/window.out"
