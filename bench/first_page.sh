#!/usr/bin/env bash
# Opening a long UTF-8 novel (200 MB by default) in the native reader: the
# time to the first page and the peak memory, three ways; then the real
# program's repaint of a large window in each mode.
#
#   bench/first_page.sh [BUILD_FOLDER]      (default build-bench)
#
# 1. first_page_bench: what the program does on open (the size handler's
#    layout of the first page, its paint), then the timer's slices to the
#    end, at the default 720-pixel window and at 1,920 x 1,080.
# 2. tavelo-render, which lays the whole document out before it paints,
#    under /usr/bin/time.
# 3. The GTK program itself in a virtual X server (gtk_first_page.py): from
#    its start to text in its client area, Page Down while the layout runs,
#    and its VmHWM once the layout is done; beside the same on a 4 KB
#    document, for GTK's own start-up.
# 4. The GTK program at 1,920 x 1,080 in each mode (gtk_repaint.py): from
#    Page Up or Page Down about line 10,000 to the page whole in the window.
#
# Steps 3 and 4 need GTK 3, xvfb-run, xdotool and xwininfo, else they are
# skipped. The novel is written by make_novel into /dev/shm (or TMPDIR) and
# removed at the end; NOVEL_SIZE (default 200M) sets its size.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
build=${1:-$here/../build-bench}
size=${NOVEL_SIZE:-200M}
for tool in bench/make_novel bench/first_page_bench tools/tavelo-render; do
  [ -x "$build/$tool" ] || { echo "first_page.sh: no $build/$tool (build it first)"; exit 1; }
done

folder=/dev/shm
[ -d "$folder" ] && [ -w "$folder" ] || folder=${TMPDIR:-/tmp}
novel=$(mktemp "$folder/tavelo-novel-XXXXXX.txt")
small=$(mktemp "$folder/tavelo-small-XXXXXX.txt")
page=$(mktemp "$folder/tavelo-page-XXXXXX.png")
trap 'rm -f "$novel" "$small" "$page"' EXIT

echo "== machine"
echo "cpus=$(nproc) $(lscpu | sed -n 's/^Model name: *//p')"
echo "load=$(cut -d' ' -f1-3 /proc/loadavg)"

echo "== writing a $size UTF-8 novel"
"$build/bench/make_novel" --encoding utf-8 "$size" "$novel"
"$build/bench/make_novel" --encoding utf-8 4K "$small"
ls -l "$novel" "$small"

echo "== first_page_bench, 720-pixel window"
"$build/bench/first_page_bench" --size 720x540 "$novel"
echo "== first_page_bench, 1920 x 1080"
"$build/bench/first_page_bench" --size 1920x1080 "$novel"

echo "== tavelo-render --encoding utf-8 --size 720x540 (whole layout, then the page)"
/usr/bin/time -f "elapsed_s=%e max_rss_kb=%M" \
  "$build/tools/tavelo-render" --encoding utf-8 --size 720x540 --report "$novel" "$page"

gtk=$build/tavelo
if [ ! -x "$gtk" ]; then
  echo "== GTK: no $gtk (GTK 3 not found when building): skipped"
  exit 0
fi
for tool in xvfb-run xdotool xwininfo; do
  command -v "$tool" > /dev/null || { echo "== GTK: $tool is missing: skipped"; exit 0; }
done
echo "== GTK program $gtk in Xvfb: the 4 KB document, then the novel"
timeout --kill-after=15 900 xvfb-run -a -s "-screen 0 2048x1280x24" \
  python3 "$here/gtk_first_page.py" "$gtk" "$small" "$novel"
echo "== GTK program $gtk in Xvfb: Page Up and Page Down at 1,920 x 1,080, line 10,000, each mode"
timeout --kill-after=15 1800 xvfb-run -a -s "-screen 0 2048x1280x24" \
  python3 "$here/gtk_repaint.py" "$gtk" "$build/bench/make_novel"
