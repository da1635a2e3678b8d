#!/bin/sh
# Draws docs/ngraph-merged.png: Ngraph-GTK after its Rastrel add-in has merged
# the sample bitmap in place of a rectangle. Everything runs for real on a
# virtual X display, driven with xdotool as a user would drive it.
# Usage: tools/take-ngraph-screenshot.sh [BUILD]
set -eu
cd "$(dirname "$0")/.."

if [ "${1:-}" != --on-display ]; then
  build=$(realpath "${1:-build}")
  mkdir -p docs
  exec xvfb-run -a -s "-screen 0 1280x1024x24 -dpi 96" "$0" --on-display "$build"
fi
build=$2
out=docs/ngraph-merged.png

work=$(mktemp -d)
pids=
cleanup() {
  for pid in $pids; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

# Fails after 30 s rather than hang when a window never shows.
find_window() {
  id=$(timeout 30 xdotool search --sync --onlyvisible --name "$1" | head -n 1)
  [ -n "$id" ] || { echo "take-ngraph-screenshot: no window $1" >&2; exit 1; }
  echo "$id"
}
# Without a window manager there is no activation, only the input focus.
activate() {
  xdotool windowactivate --sync "$1" 2> /dev/null || xdotool windowfocus --sync "$1"
}
wait_until() {
  i=0
  until eval "$1"; do
    i=$((i + 1))
    [ "$i" -lt 300 ] || { echo "take-ngraph-screenshot: timed out: $1" >&2; exit 1; }
    sleep 0.1
  done
}

# A fresh Ngraph home with the add-in registered, as Preference > Add-in
# script > Add and Save would leave it, and rastrel on PATH.
mkdir -p "$work/home/.Ngraph" "$work/bin"
cp dist/ngraph/rastrel.nsc "$work/home/.Ngraph/"
sed "/^\[x11menu\]/a script=_Rastrel...,$work/home/.Ngraph/rastrel.nsc,Place a Windows bitmap in the newest rectangle with Rastrel," \
  /etc/ngraph-gtk/Ngraph.ini > "$work/home/.Ngraph/Ngraph.ini"
ln -s "$build/app/rastrel" "$work/bin/rastrel"

# A new graph is Ngraph's default one with a rectangle of the sample's aspect
# ratio: loading a graph file would ask how first.
{
  sed '/^new gra name:viewer/,$d' /etc/ngraph-gtk/Ngraph.ngp
  printf 'new rectangle\n'
  printf '\trectangle::%s\n' x1=5500 y1=9000 x2=14500 y2=15000
  sed -n '/^new gra name:viewer/,$p' /etc/ngraph-gtk/Ngraph.ngp
} > "$work/home/.Ngraph/Ngraph.ngp"

if command -v openbox > /dev/null; then
  openbox > /dev/null 2>&1 &
  pids="$pids $!"
fi
sample=$(realpath samples/rastrel-sample.bmp)
(cd "$work" && HOME="$work/home" PATH="$work/bin:$PATH" exec ngraph) > "$work/ngraph.log" 2>&1 &
pids="$pids $!"

ngraph_window=$(find_window '^Unsaved Graph - Ngraph$')
activate "$ngraph_window"
sleep 1
# Graph > Add-in > Rastrel...: Add-in is the third item from the bottom.
xdotool key --delay 300 F10 Up Up Up Right Return

rastrel_window=$(find_window '^Rastrel$')
activate "$rastrel_window"
xdotool key --delay 300 alt+f o
find_window '^Open$' > /dev/null
xdotool type --delay 20 "$sample"
xdotool key Return
wait_until '! xdotool search --onlyvisible --name "^Open$" > /dev/null'
# The file-name completion list can stay open over the window once the
# dialog has closed, and it takes the next key; Escape closes it.
sleep 1
xdotool key Escape
xdotool key --delay 300 alt+f s
find_window '^Save As$' > /dev/null
xdotool type --delay 20 "$work/sample.gra"
xdotool key Return
wait_until "[ -s '$work/sample.gra' ]"
sleep 1
xdotool key --delay 300 alt+f q

# The add-in merges once rastrel has ended; the graph is then modified.
wait_until '! xdotool search --name "^Rastrel$" > /dev/null'
find_window '^\*Unsaved Graph - Ngraph$' > /dev/null
# The merge list's tab, the second below the middle of the right-hand panes.
xdotool mousemove --window "$ngraph_window" 628 441 click 1
xdotool mousemove 1270 1010
sleep 1
import -frame -window "$ngraph_window" png:- | convert - -colors 64 -strip "PNG8:$out"
echo "Wrote $out"
