#!/usr/bin/env bash
# tavelo-convert over a tree of 10,000 small files, beside cp -r of the same
# tree (the floor: reading and writing every byte, one process) and beside
# iconv started once per file by find -exec (what a script would do).
#
#   bench/tree_bench.sh [BUILD_FOLDER]      (default build)
#
# The tree: 100 folders of 100 files of 2 to 50 KB each, cut at line ends
# from novels written by make_novel, a third each in GB2312, BIG5 and UTF-8
# (each file's name says which, for iconv's -f). It is made in /dev/shm (or
# TMPDIR) and removed at the end; each command runs ROUNDS times (default 3)
# into an empty output and the best time is kept.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=$(cd "${1:-$here/../build}" && pwd)
rounds=${ROUNDS:-3}
for tool in bench/make_novel tools/tavelo-convert; do
  [ -x "$build/$tool" ] || { echo "tree_bench.sh: no $build/$tool (build it first)"; exit 1; }
done
base=${TMPDIR:-/dev/shm}
work=$(mktemp -d "$base/tavelo-tree-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
cd "$work"

for encoding in gb2312 big5 utf-8; do
  "$build/bench/make_novel" --encoding "$encoding" 100M "novel.$encoding"
done
python3 - <<'PY'
import os
import random
random.seed(23)
novels = {e: open(f"novel.{e}", "rb").read() for e in ("gb2312", "big5", "utf-8")}
at = dict.fromkeys(novels, 0)
for i in range(10000):
    encoding = ("gb2312", "big5", "utf-8")[i % 3]
    text, start = novels[encoding], at[encoding]
    end = text.find(b"\r\n", start + random.randint(2048, 51200 - 2)) + 2
    at[encoding] = end
    folder = f"tree/{i // 1000}/{i // 100 % 10}"
    os.makedirs(folder, exist_ok=True)
    with open(f"{folder}/{i:05d}.{encoding}.txt", "wb") as f:
        f.write(text[start:end])
PY
rm novel.*
files=$(find tree -type f | wc -l)
bytes=$(du -sb tree | cut -f1)

# The best of the rounds' wall-clock seconds for the command, into an empty
# out/, with the processor seconds (user and system, children included) of
# that round: "WALL CPU".
best() {
  local fastest="" timing
  TIMEFORMAT="%R %U %S"
  for _ in $(seq "$rounds"); do
    rm -rf out
    sync
    timing=$({ time "$@" > /dev/null 2>&1; } 2>&1 || true)
    fastest=$(echo "$timing $fastest" | awk '{ if ($4 == "" || $1 < $4) print $1, $2 + $3; else print $4, $5 }')
  done
  echo "$fastest"
}

iconv_each() {
  mkdir out
  (cd tree && find . -type d -exec mkdir -p ../out/{} \;)
  for from in gb2312:GB2312 big5:BIG5 utf-8:UTF-8; do
    (cd tree && find . -name "*.${from%%:*}.txt" -exec iconv -f "${from##*:}" -t UTF-8 -o ../out/{} {} \;)
  done
}

cp_time=$(best cp -r tree out)
iconv_time=$(best iconv_each)
declare -A tool_time
for jobs in 1 2; do
  tool_time[$jobs]=$(best "$build/tools/tavelo-convert" -r -j "$jobs" -f auto -t utf-8 -o out tree)
done
rm -rf out

echo "tree: $files files, $bytes bytes, in $base; $(nproc) processors; best of $rounds"
echo
echo "| command | seconds | / cp -r | processor seconds |"
echo "|---|---:|---:|---:|"
row() {
  echo "$2" | awk -v name="$1" -v floor="${cp_time% *}" \
    '{ printf "| %s | %.2f | %.1fx | %.2f |\n", name, $1, $1 / floor, $2 }'
}
row "cp -r tree out" "$cp_time"
row "tavelo-convert -r -j 1 -f auto -t utf-8 -o out tree" "${tool_time[1]}"
row "tavelo-convert -r -j 2 -f auto -t utf-8 -o out tree" "${tool_time[2]}"
row "find -exec iconv (one per file)" "$iconv_time"
