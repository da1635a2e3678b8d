#!/usr/bin/env bash
# Converts a generated worst-case bitmap (every pixel differs from its
# neighbours) with rastrel-convert and with the plain one-fprintf-a-line
# writer, copies the resulting GRA file with cp, side by side in one run, and
# prints the median times, the ratios and the peak memory.
#
#   bench/compare-with-cp.sh [BUILD_DIR] [SIDE] [ROUNDS]
set -euo pipefail

build=${1:-build}
side=${2:-4000}
rounds=${3:-5}
work=$(mktemp -d "${TMPDIR:-/tmp}/rastrel-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT

"$build/bench/make-bench-bitmap" worst "$side" "$side" "$work/worst.bmp"

# Microseconds taken by a command, with its peak resident memory in KiB left
# in $work/rss; the output file is removed first so that every run creates it.
timed() {
  local output=$1
  shift
  rm -f "$output"
  sync
  local start end
  start=$(date +%s%N)
  /usr/bin/time -f %M -o "$work/rss" "$@"
  end=$(date +%s%N)
  echo "$(( (end - start) / 1000 ))"
}

median() { sort -n | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

convert_us=() cp_us=() plain_us=()
for ((i = 0; i < rounds; i++)); do
  convert_us+=("$(timed "$work/out.gra" "$build/cli/rastrel-convert" --quiet --mode all \
    "$work/worst.bmp" "$work/out.gra")")
  convert_rss=$(cat "$work/rss")
  cp_us+=("$(timed "$work/copy.gra" cp "$work/out.gra" "$work/copy.gra")")
  plain_us+=("$(timed "$work/plain.gra" "$build/bench/plain-convert" "$work/worst.bmp" \
    "$work/plain.gra")")
  rm -f "$work/copy.gra" "$work/plain.gra"
done

cmp -s <("$build/bench/plain-convert" "$work/worst.bmp" /dev/stdout) "$work/out.gra" ||
  { echo "rastrel-convert and the plain writer disagree" >&2; exit 1; }

gra_bytes=$(stat -c %s "$work/out.gra")
bmp_bytes=$(stat -c %s "$work/worst.bmp")
convert=$(printf '%s\n' "${convert_us[@]}" | median)
copy=$(printf '%s\n' "${cp_us[@]}" | median)
plain=$(printf '%s\n' "${plain_us[@]}" | median)
picture_kib=$(( side * side * 4 / 1024 ))

awk -v side="$side" -v bmp="$bmp_bytes" -v gra="$gra_bytes" -v rounds="$rounds" \
  -v convert="$convert" -v copy="$copy" -v plain="$plain" -v rss="$convert_rss" 'BEGIN {
  picture = side * side * 4 / 1024
  printf "worst case %dx%d: BMP %d bytes, GRA %d bytes, median of %d rounds\n", side, side, bmp, gra, rounds
  printf "rastrel-convert  %7.3f s  %6.0f MB/s\n", convert / 1e6, gra / convert
  printf "cp of the GRA    %7.3f s\n", copy / 1e6
  printf "plain fprintf    %7.3f s\n", plain / 1e6
  printf "rastrel-convert / cp    = %.2f\n", convert / copy
  printf "plain fprintf / rastrel = %.2f\n", plain / convert
  printf "peak memory %d KiB = %.2f x the decoded picture (%d KiB)\n", rss, rss / picture, picture
}'
