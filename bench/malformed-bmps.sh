#!/usr/bin/env bash
# Opens every file of the broken-bitmap corpus (tests/make-malformed-bmps)
# with rastrel-convert and in the real window (tests/window-open-save, on
# Qt's offscreen platform), each ROUNDS times under /usr/bin/time, and
# prints per file what came of it, the worst wall time (for the converter
# the whole run, conversion included; for the window the Open command) and
# the peak resident memory of the process; then the worst of all.
#
#   bench/malformed-bmps.sh [BUILD_DIR] [ROUNDS]
set -euo pipefail

build=${1:-build}
rounds=${2:-2}
work=$(mktemp -d "${TMPDIR:-/tmp}/rastrel-malformed.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$build/tests/make-malformed-bmps" "$work/corpus"

# Runs a command under /usr/bin/time; leaves "seconds peak_kib" in $work/t.
timed() {
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f %M -o "$work/rss" "$@" >"$work/out" 2>"$work/err" || true
  end=$(date +%s%N)
  echo "$(((end - start) / 1000000)) $(tail -n 1 "$work/rss")" >"$work/t"
}

# The larger of two numbers.
max() { echo $(($1 > $2 ? $1 : $2)); }

row='%-40s %-22s %-22s %7s %9s %7s %9s\n'
printf "$row" file converter window "conv ms" "conv KiB" "win ms" "win KiB" >"$work/table"
for file in "$work"/corpus/*.bmp; do
  name=$(basename "$file" .bmp)
  conv_ms=0 conv_kib=0 win_ms=0 win_kib=0
  for ((i = 0; i < rounds; i++)); do
    timed "$build/cli/rastrel-convert" --quiet "$file" "$work/out.gra"
    read -r ms kib <"$work/t"
    conv_ms=$(max "$conv_ms" "$ms") conv_kib=$(max "$conv_kib" "$kib")
    outcome=$(sed -n 's/^rastrel-convert: .*: //p' "$work/err")
    [ -n "$outcome" ] || outcome=converted

    timed env QT_QPA_PLATFORM=offscreen "$build/tests/window-open-save" "$file"
    read -r ms kib <"$work/t"
    # The Open command's own time, file dialog included, without start-up.
    ms=$(sed -n 's/^open seconds: //p' "$work/out" | awk '{ printf "%d", $1 * 1000 }')
    win_ms=$(max "$win_ms" "${ms:-0}") win_kib=$(max "$win_kib" "$kib")
    shown=$(sed -n 's/^open message: //p' "$work/out")
    [ -n "$shown" ] || shown="opened $(sed -n 's/^picture: //p' "$work/out" | tr -d ' ')"
  done
  printf "$row" "$name" "$outcome" "$shown" "$conv_ms" "$conv_kib" "$win_ms" "$win_kib" \
    >>"$work/table"
done

cat "$work/table"
echo
echo "$(($(wc -l <"$work/table") - 1)) files, worst of $rounds rounds each"
tail -n +2 "$work/table" | awk '
  function worst(col, what) { best = ""; top = -1
    for (i = 1; i <= n; i++) if (v[i, col] > top) { top = v[i, col]; best = name[i] }
    printf "%-28s %10d  (%s)\n", what, top, best }
  { n++; name[n] = $1; v[n, 1] = $(NF - 3); v[n, 2] = $(NF - 2); v[n, 3] = $(NF - 1); v[n, 4] = $NF }
  END {
    worst(1, "converter worst ms"); worst(2, "converter peak KiB")
    worst(3, "window worst ms"); worst(4, "window peak KiB")
  }'
