#!/usr/bin/env bash
# tavelo.exe under Wine shows the bundled samples: its client area, pixel for
# pixel, is the page tavelo-render paints for the same document, client size
# and top line; the scrolling keys move the view as the scrolling rules say;
# the mouse wheel scrolls by the wheel setting (3 lines a notch); a .b5
# name opens in BIG5 mode; the document's folder is remembered; a name with a
# blank, which reaches the program quoted, opens.
source "$(dirname "$0")/lib.bash"
start_test "$@"

smaller() { [ "$1" -lt "$2" ] && echo "$1" || echo "$2"; }
not_shown() { ! window_shown "$1"; }
larger() { [ "$1" -gt "$2" ] && echo "$1" || echo "$2"; }

texts=$work/texts
mkdir -p "$texts"
cp "$project/samples/sample.gb" "$project/samples/sample.b5" "$texts/"
gb=$(winepath -w "$texts/sample.gb")
b5=$(winepath -w "$texts/sample.b5")
# A window of 640x550 pixels, frame included, and no open dialog at start-up.
save_placement 100 50 740 600 0
# The wheel setting the program reads (Wine's default, made certain).
wine reg add 'HKCU\Control Panel\Desktop' /v WheelScrollLines /d 3 /f > /dev/null 2>&1

echo "Reading $gb"
run_program "$gb"
# Until the Open command has run, the caption is "Tavelo - Chinese Text Reader".
window=$(wait_window '^Tavelo - Z:') || window=""
check "a window captioned 'Tavelo - <the file>' appears" \
  equals "$(xdotool getwindowname "${window:-0}" 2> /dev/null)" "Tavelo - $gb"
check "the client area shows the first page, pixel for pixel" \
  client_matches "$window" gb-top "$texts/sample.gb"
read -r left top width height <<< "$client_rect"
note "client area ${width}x$height at $left,$top of the X11 window"
# The comparison must see the glyphs: one pixel off, the same page differs.
check "one pixel to the right the page does not match" bash -c '! python3 "$@" > /dev/null' _ \
  "$wine_tests/pixels.py" compare "$work/gb-top.gray" "$(identify -format %w "$work/gb-top.png")" \
  $((left + 1)) "$top" "$work/gb-top-expected.gray" "$width" "$height"

view=$("$TAVELO_RENDER" --report --size "${width}x$height" "$texts/sample.gb" "$work/view.png")
note "view for that client: $view"
page_lines=$(sed -n 's/.*pageLines=\([0-9]*\).*/\1/p' <<< "$view")
max_top=$(sed -n 's/.*maxTopLine=\([0-9]*\).*/\1/p' <<< "$view")
check "the sample is longer than two pages" test "${max_top:-0}" -gt "${page_lines:-0}"

step() {  # step KEY TOPLINE WHAT
  keys "$window" "$1"
  check "$3: top line $2" client_matches "$window" "gb-$1-$2" --top "$2" "$texts/sample.gb"
}
step Next "$page_lines" "Page Down moves a page"
step Next "$(smaller $((2 * page_lines)) "$max_top")" "Page Down again stops at the last page"
step Home 0 "Home goes back to the top"
step Down 1 "Down arrow moves one line (the pixels scroll, one line is painted)"
step End "$max_top" "End shows the last page"
step Up "$((max_top - 1))" "Up arrow moves one line back"
step Prior "$(larger 0 $((max_top - 1 - page_lines)))" "Page Up moves a page back (never above the top)"
step Home 0 "Home goes back to the top"
step space "$page_lines" "Space moves a page, as Page Down"
step shift+space 0 "Shift+Space moves a page back, as Page Up"
step ctrl+End "$max_top" "Ctrl+End shows the last page"
step ctrl+Home 0 "Ctrl+Home goes back to the top"

# wheel BUTTON: one notch (X11 button 4 up, 5 down) with the pointer over the
# client area, where Wine turns it into WM_MOUSEWHEEL.
wheel() {
  local left top width height
  read -r left top width height <<< "$client_rect"
  xdotool mousemove --window "$window" $((left + width / 2)) $((top + height / 2))
  sleep 0.2
  xdotool click "$1"
  sleep 0.3
}
# Whole screenshots, scroll bar and all, so the thumb must agree as well.
same_window() { cmp -s "$work/$1.gray" "$work/$2.gray" || { note "$1.png and $2.png differ"; false; }; }
wheel 5
check "one notch down: top line 3" client_matches "$window" gb-wheel-down --top 3 "$texts/sample.gb"
keys "$window" Home Down Down Down
check "three Down keys: top line 3" client_matches "$window" gb-three-downs --top 3 "$texts/sample.gb"
check "one notch down shows exactly what three Down keys show" same_window gb-wheel-down gb-three-downs
wheel 4
check "one notch up: top line 0" client_matches "$window" gb-wheel-up "$texts/sample.gb"
check "one notch up returns to exactly the first page" same_window gb-top gb-wheel-up
# A narrower window lays the document out again in fewer columns.
xdotool windowsize "$window" 400 300
check "a narrower window shows the page laid out for its client area" \
  client_matches "$window" gb-narrow "$texts/sample.gb"
note "client area now $(cut -d' ' -f3,4 <<< "$client_rect" | tr ' ' x)"
keys "$window" ctrl+plus
check "Ctrl+plus zooms in: the page of tavelo-render --zoom 2" \
  client_matches "$window" gb-zoom --zoom 2 "$texts/sample.gb"
keys "$window" ctrl+0
check "Ctrl+0 shows the actual size again" client_matches "$window" gb-actual "$texts/sample.gb"

check "the last directory is the sample's folder: $(winepath -w "$texts")" \
  equals "$(reg_value 'HKLM\Software\Kestrow\Tavelo\last directory' '')" "REG_SZ $(winepath -w "$texts")"
keys "$window" alt+F4
check "Alt+F4 ends the program" wait_program_end

echo "Reading $b5"
save_placement 100 50 740 600 0
run_program "$b5"
window=$(wait_window '^Tavelo - Z:') || window=""
check "a window captioned 'Tavelo - <the .b5 file>' appears" \
  equals "$(xdotool getwindowname "${window:-0}" 2> /dev/null)" "Tavelo - $b5"
check "the .b5 name opens in BIG5 mode: the page of tavelo-render --big5, pixel for pixel" \
  client_matches "$window" b5 --big5 "$texts/sample.b5"
read -r left top width height <<< "$client_rect"
"$TAVELO_RENDER" --size "${width}x$height" "$texts/sample.b5" "$work/b5-as-gb.png"
"$magick_convert" "$work/b5-as-gb.png" -depth 8 "gray:$work/b5-as-gb.gray"
check "the same file read as GB2312 would look different" bash -c '! python3 "$@" > /dev/null' _ \
  "$wine_tests/pixels.py" compare "$work/b5.gray" "$(identify -format %w "$work/b5.png")" \
  "$left" "$top" "$work/b5-as-gb.gray" "$width" "$height"
keys "$window" alt+F4
check "Alt+F4 ends the program" wait_program_end

echo "Reading a name with a blank"
mkdir -p "$texts/my texts"
cp "$texts/sample.gb" "$texts/my texts/a b.gb"
spaced=$(winepath -w "$texts/my texts/a b.gb")
save_placement 100 50 740 600 0
# Wine puts an argument holding blanks in double quotes on the command line,
# as Explorer and the shells do.
run_program "$spaced"
window=$(wait_window '^Tavelo - Z:') || window=""
check "the quoted name opens: the caption is 'Tavelo - $spaced'" \
  equals "$(xdotool getwindowname "${window:-0}" 2> /dev/null)" "Tavelo - $spaced"
check "no box: 'Could not open the file.' is not shown" not_shown '^Tavelo$'
check "the client area shows its first page" client_matches "$window" spaced "$texts/my texts/a b.gb"
keys "$window" ctrl+o
dialog=$(wait_window '^Open$' 5) || dialog=""
check "Ctrl+O asks for a file to open" test -n "$dialog"
[ -n "$dialog" ] && keys "$dialog" Escape
wait_no_window '^Open$' 5
keys "$window" ctrl+q
check "Ctrl+Q ends the program" wait_program_end

finish_test
