#!/usr/bin/env bash
# tavelo.exe under Wine on documents far larger than its Work area: the
# bundled sample, one line of 8 MB without a line break, and a sparse file
# of 2 GB. Each opens with its first page and, for the two large ones, the
# truncation warning; End shows the last browsable page, pixel for pixel as
# tavelo-render paints it. Prints, for each, the time from start to the first
# glyphs on the screen and the program's peak memory (VmHWM of its process),
# and checks that the peak does not grow with the document.
source "$(dirname "$0")/lib.bash"
start_test "$@"

# Wine's own peak wanders by some hundred kilobytes from run to run; a
# program that held even a quarter of the 8 MB line would exceed this.
allowed_growth_kb=2048

texts=$work/texts
mkdir -p "$texts"
cp "$project/samples/sample.gb" "$texts/small.gb"
python3 - "$texts/line.gb" << 'EOF'
import sys
piece = "中文 text 汉字\t".encode("gb2312")
data = (piece * (8 * 1024 * 1024 // len(piece) + 1))[: 8 * 1024 * 1024]
open(sys.argv[1], "wb").write(data)
EOF
# The first lines are text; the rest of the 2 GB is a hole of zeros.
python3 - "$texts/huge.gb" << 'EOF'
import os, sys
with open(sys.argv[1], "wb") as f:
    f.write(("这是一个两千兆字节的文件 line %d\r\n" % 0).encode("gb2312") * 40)
    f.truncate((1 << 31) + 4096)
EOF

# The process of the Windows program, found by the name Wine gives it.
program_process() {
  local pid
  for pid in $(pgrep -f 'tavelo\.exe'); do
    if grep -qi '^Name:.*tavelo' "/proc/$pid/status" 2> /dev/null; then
      echo "$pid"
      return 0
    fi
  done
  return 1
}

# True once the client area shows black pixels on its first text line.
first_line_inked() {
  local size rect left top width height
  size=$(screenshot "$1" probe) || return 1
  rect=$(python3 "$wine_tests/pixels.py" client "$work/probe.gray" ${size%% *} ${size##* } 2> /dev/null) ||
    return 1
  read -r left top width height <<< "$rect"
  python3 - "$work/probe.gray" "${size%% *}" "$left" "$top" "$width" << 'EOF'
import sys
path, shot_width, left, top, width = sys.argv[1], *map(int, sys.argv[2:])
data = open(path, "rb").read()
# Line 0 of the page: y 5 to 17, from column 0 (x 15) on.
ink = sum(1 for y in range(top + 5, top + 18) for x in range(left + 15, left + width - 1)
          if data[y * shot_width + x] < 128)
sys.exit(0 if ink > 20 else 1)
EOF
}

# The warning box, captioned with the class name alone, is on the screen.
warning_shown() { wait_window '^Tavelo$' 20 > /dev/null; }

measure() {  # measure NAME FILE WARNS: opens FILE, times its first paint, scrolls to the end
  local name=$1 file=$2 warns=$3 windows_name start window painted seconds pid view max_top
  windows_name=$(winepath -w "$file")
  save_placement 100 50 740 600 0
  echo "Reading $name: $(du -h --apparent-size "$file" | cut -f1) ($(du -h "$file" | cut -f1) on disk)"
  start=$(date +%s.%N)
  run_program "$windows_name"
  window=$(wait_window '^Tavelo - Z:' 60) || window=""
  painted=""
  for _ in $(seq 1 300); do
    if [ -n "$window" ] && first_line_inked "$window"; then
      painted=$(date +%s.%N)
      break
    fi
    sleep 0.1
  done
  check "$name: the first page is drawn" test -n "$painted"
  seconds=$(python3 -c "print('%.2f' % ($painted - $start))" 2> /dev/null || echo "?")
  eval "first_paint_$name=\$seconds"
  note "$name: first glyphs on the screen ${seconds} s after start"
  if [ "$warns" = yes ]; then
    check "$name: the truncation warning is shown" warning_shown
    keys "$(wait_window '^Tavelo$' 5)" Return
    check "$name: the warning goes with Enter" wait_no_window '^Tavelo$' 10
  fi
  check "$name: the first page, pixel for pixel" client_matches "$window" "$name-top" "$file"
  read -r _ _ width height <<< "$client_rect"
  view=$("$TAVELO_RENDER" --report --size "${width}x$height" "$file" "$work/$name-view.png")
  max_top=$(sed -n 's/.*maxTopLine=\([0-9]*\).*/\1/p' <<< "$view")
  keys "$window" End
  check "$name: End shows the last page (top line $max_top), pixel for pixel" \
    client_matches "$window" "$name-end" --top "$max_top" "$file"
  pid=$(program_process) || pid=""
  check "$name: the program's process is found" test -n "$pid"
  eval "peak_$name=$(awk '/^VmHWM:/ {print $2}' "/proc/${pid:-0}/status" 2> /dev/null)"
  eval "note \"$name: peak memory \$peak_$name kB (VmHWM of process $pid)\""
  keys "$window" alt+F4
  check "$name: Alt+F4 ends the program" wait_program_end
}

measure small "$texts/small.gb" no
measure line "$texts/line.gb" yes
measure huge "$texts/huge.gb" yes

echo "Start to first paint: small ${first_paint_small} s, 8 MB line ${first_paint_line} s, 2 GB ${first_paint_huge} s"
echo "Peak memory (VmHWM): small ${peak_small} kB, 8 MB line ${peak_line} kB, 2 GB ${peak_huge} kB"
within() { [ $(($1 - $2)) -le "$allowed_growth_kb" ] || { note "$1 kB against $2 kB"; false; }; }
check "the 8 MB line takes no more memory than the sample (within $allowed_growth_kb kB)" \
  within "${peak_line:-999999}" "${peak_small:-0}"
check "the 2 GB file takes no more memory than the sample (within $allowed_growth_kb kB)" \
  within "${peak_huge:-999999}" "${peak_small:-0}"
finish_test
