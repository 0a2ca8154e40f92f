#!/usr/bin/env bash
# tavelo.exe under Wine: a drag of the mouse over the page selects the
# cells it passes, shown inverted pixel for pixel as tavelo-render shows the
# same bytes selected; Ctrl+C puts them on the clipboard as Unicode, which
# Wine hands to X as UTF-8 whatever the code page; Ctrl+F asks for a text
# typed in hanzi, finds it far down the document, selects it and scrolls it
# into view; F3 goes round to it again; a text that is nowhere is "Not found.".
source "$(dirname "$0")/lib.bash"
command -v xclip > /dev/null || { echo "$test_name: xclip is missing (run scripts/install-packages)"; exit 1; }
start_test "$@"


texts=$work/texts
mkdir -p "$texts"
doc=$texts/novel.txt
# GB2312, 300 lines; the one 目标 stands on line 240.
python3 - "$doc" << 'PY'
import sys
lines = ["第%03d行 中文 text line" % i for i in range(300)]
lines[240] = "第240行 目标 target"
open(sys.argv[1], "wb").write(("\r\n".join(lines) + "\r\n").encode("gb2312"))
PY
offset_of() { python3 -c 'import sys; d=open(sys.argv[1],"rb").read(); print(d.index(sys.argv[2].encode("gb2312")))' "$doc" "$1"; }

save_placement 100 50 740 600 0
name=$(winepath -w "$doc")
run_program "$name"
window=$(wait_window "^Tavelo - .*novel.txt$") || window=""
check "the document opens from the command line" test -n "$window"
sleep 1
check "its first page" client_matches "$window" top "$doc"
read -r left top width height <<< "${client_rect:-0 0 0 0}"

echo "A drag from line 0, column 0 to line 1, column 5"
xdotool mousemove --window "$window" $((left + 16)) $((top + 11)) mousedown 1
sleep 0.2
xdotool mousemove --window "$window" $((left + 40)) $((top + 20))
sleep 0.2
xdotool mousemove --window "$window" $((left + 15 + 7 * 5 + 1)) $((top + 18 + 11)) mouseup 1
sleep 0.5
# Line 0 is 第000行 中文 text line and CR LF (24 bytes); 第001 ends 5 columns in.
check "the cells dragged over are inverted" client_matches "$window" dragged --select 0-29 "$doc"
keys "$window" ctrl+c
sleep 0.5
# The program puts CR LF as the file has it; Wine gives X the text with LF.
check "Ctrl+C puts them on the clipboard in Unicode" \
  equals "$(xclip -o -selection clipboard | od -An -c | tr -s ' ')" \
  "$(printf '第000行 中文 text line\n第001' | od -An -c | tr -s ' ')"

echo "Find"
found=$(offset_of 目标)
check "Edit, Find asks for the text, typed in hanzi" ask_to_find "$window" 目标
page_lines=$("$TAVELO_RENDER" --size "${width}x$height" --report "$doc" /dev/null | sed -n 's/.*pageLines=\([0-9]*\).*/\1/p')
shown=$((240 - page_lines / 3))
check "the hanzi typed are found on line 240, selected and brought into view" \
  client_matches "$window" found --top "$shown" --select "$found-$((found + 4))" "$doc"
keys "$window" Home
keys "$window" F3
check "F3 goes round the end to it again" \
  client_matches "$window" again --top "$shown" --select "$found-$((found + 4))" "$doc"
ask_to_find "$window" nowhere
box=$(wait_window '^Tavelo$' 10) || box=""
check "a text that is nowhere is \"Not found.\"" test -n "$box"
keys "$box" Return
wait_no_window '^Tavelo$' 10
keys "$window" alt+F4
check "Alt+F4 ends the program" wait_program_end

finish_test
