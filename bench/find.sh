#!/usr/bin/env bash
# Find in a long novel (200 MB by default) in the reader's modes: the
# program's own search (find_bench) for a chapter heading near the end, a
# text that stands nowhere and a character on every line, each from the top,
# again after the first place, and backwards from the end; beside GNU grep
# over the same bytes (LC_ALL=C grep -c -F), which reads the file once and
# checks nothing about characters: the floor.
#
#   bench/find.sh [BUILD_FOLDER]      (default build-bench)
#
# The novels are written by make_novel into /dev/shm (or TMPDIR) and removed
# at the end; NOVEL_SIZE (default 200M) sets their size.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build-bench}
size=${NOVEL_SIZE:-200M}
for tool in bench/make_novel bench/find_bench; do
  [ -x "$build/$tool" ] || { echo "find.sh: no $build/$tool (build it first)"; exit 1; }
done
folder=/dev/shm
[ -d "$folder" ] && [ -w "$folder" ] || folder=${TMPDIR:-/tmp}
novel=$(mktemp "$folder/tavelo-find-XXXXXX.txt")
trap 'rm -f "$novel"' EXIT

echo "== machine"
echo "cpus=$(nproc) $(lscpu | sed -n 's/^Model name: *//p')"
echo "load=$(cut -d' ' -f1-3 /proc/loadavg)"
for mode in utf-8 gb18030 big5; do
  echo "== $size novel in $mode"
  "$build/bench/make_novel" --encoding "$mode" "$size" "$novel"
  codec=$mode missing=不在书中
  [ "$mode" = big5 ] && codec=cp950 missing=不在書中
  chapter=$(iconv -f "$codec" -t utf-8 "$novel" | LC_ALL=C grep -a -o '第[0-9]*章' | tail -1)
  "$build/bench/find_bench" --encoding "$mode" "$novel" "$chapter" "$missing" "我"
  for text in "$chapter" "$missing"; do
    bytes=$(printf '%s' "$text" | iconv -f utf-8 -t "$codec")
    start=$(date +%s.%N)
    count=$(LC_ALL=C grep -a -c -F -- "$bytes" "$novel" || true)
    echo "grep -c -F $text: $count lines, $(echo "($(date +%s.%N) - $start) * 1000" | bc | cut -d. -f1) ms"
  done
done
