#!/usr/bin/env bash
# The native program tavelo (GTK 3) in a virtual X server: its client area is,
# byte for byte, the page tavelo-render paints for the same document, client
# size and top line, for GB and BIG5 documents, after each scrolling key and a
# wheel notch, and after a resize; the settings file written at exit brings
# the placement back at the next start, also from a damaged file; the first
# run's Yes makes the .gb association in the user's XDG folders, which the
# desktop's own tools then see, and Uninstall removes all it made; Paste to
# file writes the clipboard's text, hanzi in GB18030; a drag selects, Ctrl+C
# copies in UTF-8, Find finds hanzi typed into it; a document reopened from
# the File menu's recent list shows the page it was left at.
#
# Environment: TAVELO_GTK (default build/tavelo), TAVELO_RENDER as for the
# Wine tests, whose helpers this test shares.
source "$(dirname "$0")/../wine/lib.bash"
TAVELO_GTK=${TAVELO_GTK:-$project/build/tavelo}

start_test() {
  if [ -z "${TAVELO_IN_XVFB:-}" ]; then
    for tool in xvfb-run xdotool xwininfo import gio xclip; do
      command -v "$tool" > /dev/null || { echo "$test_name: $tool is missing (run scripts/install-packages)"; exit 1; }
    done
    [ -x "$TAVELO_GTK" ] || { echo "$test_name: no $TAVELO_GTK (build it first)"; exit 1; }
    export TAVELO_IN_XVFB=1
    exec timeout --kill-after=15 300 xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
  fi
  echo "== gtk =="
  work=$(mktemp -d /tmp/tavelo-gtk-XXXXXX)
  trap cleanup EXIT
  # The user's folders are the test's own: nothing of the real user's is seen or touched.
  export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
  mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
  # No accessibility bus and no dconf: the virtual X server has no session.
  # GTK's own input method: an input method installed on the machine (ibus)
  # would write its own files into the test's folders.
  export NO_AT_BRIDGE=1 GSETTINGS_BACKEND=memory GDK_BACKEND=x11 GTK_IM_MODULE=gtk-im-context-simple
}
start_test "$@"
test_name=gtk

run_program() {
  "$TAVELO_GTK" "$@" > "$work/program.log" 2>&1 &
  program_pid=$!
}

smaller() { [ "$1" -lt "$2" ] && echo "$1" || echo "$2"; }
larger() { [ "$1" -gt "$2" ] && echo "$1" || echo "$2"; }

# The client area: the largest child X window of the main window.
client_of() {
  xwininfo -children -id "$1" | sed -n 's/^ *\(0x[0-9a-f]*\) .* \([0-9]*\)x\([0-9]*\)+-*[0-9]*+-*[0-9]*  .*/\1 \2 \3/p' |
    sort -k2,2n -k3,3n | tail -1
}

# page_matches NAME [RENDER OPTION...] DOCUMENT: the client area's pixels are
# the page tavelo-render paints for its size. Tries for a few seconds, while
# the program may still be painting; leaves the size in client_size.
page_matches() {
  local name=$1 deadline=$((SECONDS + 10)) id width height
  shift
  while :; do
    read -r id width height <<< "$(client_of "$window")"
    client_size="$width $height"
    if [ -n "$id" ] && import -window "$id" "$work/$name.png" 2> /dev/null &&
      "$magick_convert" "$work/$name.png" -colorspace Gray -depth 8 "gray:$work/$name.gray" &&
      "$TAVELO_RENDER" --size "${width}x$height" "$@" "$work/$name-expected.png" &&
      "$magick_convert" "$work/$name-expected.png" -depth 8 "gray:$work/$name-expected.gray" &&
      cmp -s "$work/$name.gray" "$work/$name-expected.gray"; then
      return 0
    fi
    [ $SECONDS -ge $deadline ] && break
    sleep 0.5
  done
  note "$(python3 "$wine_tests/pixels.py" compare "$work/$name.gray" "$width" 0 0 \
    "$work/$name-expected.gray" "$width" "$height") (client ${width}x$height)"
  return 1
}

# The settings the program keeps, as a previous run would have left them,
# Detect encoding turned off: the GB and BIG5 modes the reader always had.
settings=$XDG_CONFIG_HOME/tavelo/settings.ini
le32() { printf '%08x' $(($1 & 0xFFFFFFFF)) | sed -E 's/(..)(..)(..)(..)/\1,\2,\3,\4/' |
  awk -F, '{print $4","$3","$2","$1}'; }
save_placement() {
  mkdir -p "${settings%/*}"
  cat > "$settings" << INI
[Software\\Kestrow\\Tavelo\\window position]
winstatus=hex:00,00
left=hex:$(le32 "$1")
top=hex:$(le32 "$2")
right=hex:$(le32 "$3")
bottom=hex:$(le32 "$4")

[Software\\Kestrow\\Tavelo\\options]
silent mode=hex:00,00,00,00
auto open file=hex:00,00,00,00
detect encoding=hex:00,00,00,00

[Software\\Kestrow\\Tavelo\\last directory]
INI
}
# setting GROUP NAME: the value's text in the settings file.
setting() {
  awk -v group="[Software\\\\Kestrow\\\\Tavelo\\\\$1]" -v name="$2" -F= '
    /^\[/ { inside = ($0 == group) } inside && $1 == name { print substr($0, length(name) + 2) }' "$settings"
}

texts="$work/my texts"
mkdir -p "$texts"
cp "$project/samples/sample.gb" "$project/samples/sample.b5" "$texts/"
gb=$texts/sample.gb
b5=$texts/sample.b5

echo "Reading $gb"
save_placement 100 50 740 600
run_program "$gb"
window=$(wait_window '^Tavelo - /') || window=""
check "a window captioned 'Tavelo - <the file>' appears" \
  equals "$(xdotool getwindowname "${window:-0}" 2> /dev/null)" "Tavelo - $gb"
check "the client area shows the first page, pixel for pixel" page_matches gb-top "$gb"
read -r width height <<< "$client_size"
note "client area ${width}x$height"
check "the same file read as BIG5 would look different" \
  not cmp -s "$work/gb-top.gray" <("$TAVELO_RENDER" --big5 --size "${width}x$height" "$gb" \
    "$work/gb-as-b5.png" && "$magick_convert" "$work/gb-as-b5.png" -depth 8 gray:-)

view=$("$TAVELO_RENDER" --report --size "${width}x$height" "$gb" "$work/view.png")
page_lines=$(sed -n 's/.*pageLines=\([0-9]*\).*/\1/p' <<< "$view")
max_top=$(sed -n 's/.*maxTopLine=\([0-9]*\).*/\1/p' <<< "$view")
check "the sample is longer than two pages" test "${max_top:-0}" -gt "${page_lines:-0}"

# KEY TOP-LINE WHAT, in the order they run; "wheel" is one notch down.
while read -r key top what; do
  if [ "$key" = wheel ]; then
    read -r id _ <<< "$(client_of "$window")"
    xdotool mousemove --window "$id" 40 40 click 5
  else
    keys "$window" "$key"
  fi
  check "$what: top line $top" page_matches "gb-$key-$top" --top "$top" "$gb"
done << STEPS
Next $page_lines Page Down moves a page
Next $(smaller $((2 * page_lines)) "$max_top") Page Down again stops at the last page
Home 0 Home goes back to the top
Down 1 Down arrow moves one line
End $max_top End shows the last page
Up $((max_top - 1)) Up arrow moves one line back
Prior $(larger 0 $((max_top - 1 - page_lines))) Page Up moves a page back
Home 0 Home goes back to the top
wheel 3 one wheel notch down moves as three Down arrows
Home 0 Home goes back to the top
space $page_lines Space moves a page, as Page Down
shift+space 0 Shift+Space moves a page back, as Page Up
ctrl+End $max_top Ctrl+End shows the last page
ctrl+Home 0 Ctrl+Home goes back to the top
STEPS

xdotool windowsize "$window" 400 300
sleep 0.5
check "a smaller window lays the page out again for its client area" page_matches gb-narrow "$gb"
note "client area now $(tr ' ' x <<< "$client_size")"
keys "$window" ctrl+plus
check "Ctrl+plus zooms in: the page of tavelo-render --zoom 2" page_matches gb-zoom --zoom 2 "$gb"
keys "$window" ctrl+0
check "Ctrl+0 shows the actual size again" page_matches gb-actual "$gb"
keys "$window" alt+f
xdotool key x
check "File, Exit ends the program" wait_program_end

check "the settings file keeps the window's last placement" \
  equals "$(setting 'window position' winstatus) $(setting 'window position' left) $(setting 'window position' right)" \
  "hex:00,00 hex:$(le32 100) hex:$(le32 500)"
check "and the opened file's folder as the last directory" \
  equals "$(setting 'last directory' @)" "\"$texts\""

# Lines GLib cannot read, a value of the wrong form and stray bytes are passed over.
{ printf 'left=hex:00\nnot a setting\n\377\376[broken\n'; sed 's/^top=.*/top=hex:zz,1/' "$settings"
  printf '[Software\\Kestrow\\Tavelo\\window position]\nright=hex:00\0,00\n'; } > "$work/damaged"
cp "$work/damaged" "$settings"
echo "Reading $b5 after a damaged settings file"
run_program "$b5"
window=$(wait_window '^Tavelo - /') || window=""
check "a window captioned 'Tavelo - <the .b5 file>' appears" \
  equals "$(xdotool getwindowname "${window:-0}" 2> /dev/null)" "Tavelo - $b5"
check "the sound settings restore the placement, the broken top left at 0" \
  equals "$(window_geometry "${window:-0}")" "100 0 400 350"
check "the .b5 name opens in BIG5 mode: the page of tavelo-render --big5" page_matches b5 --big5 "$b5"
printf 'From the clipboard\r\n' | xclip -quiet -selection clipboard > /dev/null 2>&1 &
clipboard_pid=$!
sleep 0.5
keys "$window" alt+f
xdotool key p
dialog=$(wait_window '^Save As$') || dialog=""
check "Paste to file asks for a name" test -n "$dialog"
keys "$dialog" ctrl+a
xdotool type pasted.txt
xdotool key Return
wait_window '^Tavelo - .*pasted.txt$' > /dev/null
kill "$clipboard_pid" 2> /dev/null
check "the clipboard's text is written in the last directory" \
  cmp "$texts/pasted.txt" <(printf 'From the clipboard\r\n')
check "and opened" equals "$(xdotool getwindowname "$window")" "Tavelo - $texts/pasted.txt"
# GTK hands the text over in UTF-8, whatever the locale: the file is GB18030,
# GB2312's hanzi as GB2312 writes them.
hanzi=$'中文，啊！\r\n镕𠀀€ Aéß\r\n'
printf '%s' "$hanzi" | xclip -quiet -selection clipboard -t UTF8_STRING > /dev/null 2>&1 &
clipboard_pid=$!
sleep 0.5
keys "$window" alt+f
xdotool key p
dialog=$(wait_window '^Save As$') || dialog=""
keys "$dialog" ctrl+a
xdotool type hanzi.txt
xdotool key Return
wait_window '^Tavelo - .*hanzi.txt \[GB18030\]$' > /dev/null
kill "$clipboard_pid" 2> /dev/null
check "hanzi on the clipboard are written in GB18030" \
  cmp "$texts/hanzi.txt" <(printf '%s' "$hanzi" | iconv -f UTF-8 -t GB18030)
check "and opened in GB18030 mode, which shows 镕 and 𠀀: the page of tavelo-render" \
  page_matches hanzi --encoding gb18030 "$texts/hanzi.txt"
check "and the caption names the mode" \
  equals "$(xdotool getwindowname "$window")" "Tavelo - $texts/hanzi.txt [GB18030]"
keys "$window" alt+f
xdotool key x
check "File, Exit ends the program" wait_program_end

echo "Reading modes: Detect encoding on at first, a mode chosen from the menu"
make_encoded_texts "$texts"
save_placement 100 50 740 600
# As before any choice of detection; the open dialog starts in the texts' folder.
sed -i '/^detect encoding=/d' "$settings"
printf '@="%s"\n' "$texts" >> "$settings"
run_program
window=$(wait_window '^Tavelo - Chinese Text Reader$') || window=""
check "the main window appears" test -n "$window"
sleep 1
# open_file FILE LABEL: File, Open, the name typed into the dialog's location;
# true once the caption names the file and the mode's label. A window that
# has only just appeared may miss the keys (choose_from_menu tries again).
open_file() {
  local dialog caption="Tavelo - $1${2:+ [$2]}" deadline
  dialog=$(choose_from_menu "$window" alt+f o '^Open$') || { note "no Open dialog"; return 1; }
  keys "$dialog" ctrl+l
  xdotool type "$1"
  xdotool key Return
  deadline=$((SECONDS + 10))
  until [ "$(xdotool getwindowname "$window")" = "$caption" ]; do
    [ $SECONDS -ge $deadline ] && { equals "$(xdotool getwindowname "$window")" "$caption"; return; }
    sleep 0.2
  done
}
# wait_caption_is CAPTION: true once the main window has that caption.
wait_caption_is() {
  local deadline=$((SECONDS + 10))
  until [ "$(xdotool getwindowname "$window")" = "$1" ]; do
    [ $SECONDS -ge $deadline ] && { equals "$(xdotool getwindowname "$window")" "$1"; return; }
    sleep 0.2
  done
}
# One after another, so that none is read in the mode of the one before.
while read -r file label; do
  check "$file: detected, the caption is 'Tavelo - <file> [$label]'" open_file "$texts/$file" "$label"
  check "$file: the page of tavelo-render --encoding auto" page_matches "auto-$file" --encoding auto "$texts/$file"
done << 'DETECTED'
gbk.txt GB18030
big5.txt BIG5
utf16.txt UTF-16
utf8.txt UTF-8
DETECTED

echo "Select with the mouse, copy, find"
novel=$texts/novel.txt
# UTF-8, 300 lines; the one 目标 stands on line 240.
python3 - "$novel" << 'PY'
import sys
lines = ["第%03d行 中文 text line" % i for i in range(300)]
lines[240] = "第240行 目标 target"
open(sys.argv[1], "wb").write(("\n".join(lines) + "\n").encode("utf-8"))
PY
check "novel.txt opens in UTF-8" open_file "$novel" UTF-8
read -r client width height <<< "$(client_of "$window")"
# From line 0, column 0 to line 1, column 5: line 0 is 27 bytes, 第001 6 more.
xdotool mousemove --window "$client" 16 11 mousedown 1
sleep 0.2
xdotool mousemove --window "$client" 40 20
sleep 0.2
xdotool mousemove --window "$client" $((15 + 7 * 5 + 1)) 29 mouseup 1
check "the cells dragged over are inverted" page_matches dragged --encoding utf-8 --select 0-33 "$novel"
keys "$window" ctrl+c
check "Ctrl+C puts them on the clipboard in UTF-8" \
  equals "$(xclip -o -selection clipboard | od -An -c | tr -s ' ')" \
  "$(printf '第000行 中文 text line\n第001' | od -An -c | tr -s ' ')"
found=$(python3 -c 'import sys; print(open(sys.argv[1], "rb").read().index("目标".encode()))' "$novel")
check "Edit, Find asks for the text, typed in hanzi" ask_to_find "$window" 目标
page_lines=$("$TAVELO_RENDER" --encoding utf-8 --size "${width}x$height" --report "$novel" /dev/null |
  sed -n 's/.*pageLines=\([0-9]*\).*/\1/p')
shown=$((240 - page_lines / 3))
check "the hanzi typed are found on line 240, selected and brought into view" \
  page_matches found --encoding utf-8 --top "$shown" --select "$found-$((found + 6))" "$novel"
keys "$window" Home F3
check "F3 goes round the end to it again" \
  page_matches again --encoding utf-8 --top "$shown" --select "$found-$((found + 6))" "$novel"
keys "$window" ctrl+f
dialog=$(wait_window '^Find$' 10) || dialog=""
keys "$dialog" ctrl+a
xdotool type --delay 40 "nowhere"
xdotool key Return
box=$(wait_window '^Tavelo$' 10) || box=""
check "Ctrl+F, a text that is nowhere: \"Not found.\"" test -n "$box"
keys "$box" Return
wait_no_window '^Tavelo$' 10

long=$texts/long.txt
check "long.txt, of 45,000 lines, opens in UTF-8" open_file "$long" UTF-8
check "its first page" page_matches long-top --encoding utf-8 "$long"
read -r width height <<< "$client_size"
max_top=$("$TAVELO_RENDER" --report --encoding utf-8 --size "${width}x$height" --top 999999 "$long" \
  "$work/view.png" | sed -n 's/.*maxTopLine=\([0-9]*\).*/\1/p')
check "it has more display lines than the GB modes' 32,768" test "${max_top:-0}" -gt 40000
keys "$window" ctrl+End
check "Ctrl+End shows the last page: top line $max_top" page_matches long-end --encoding utf-8 --top "$max_top" "$long"

check "hkscs.txt is detected as Big5-HKSCS" open_file "$texts/hkscs.txt" BIG5-HKSCS
keys "$window" Down Down
# Options, then the item's mnemonic; the document is read again from its line 2.
while read -r mnemonic encoding label; do
  keys "$window" alt+o
  xdotool key "$mnemonic"
  check "then $mnemonic: the page of tavelo-render --encoding $encoding at top line 2" \
    page_matches "switch-$mnemonic" --encoding "$encoding" --top 2 "$texts/hkscs.txt"
  check "and the caption is 'Tavelo - <file>${label:+ [$label]}'" \
    equals "$(xdotool getwindowname "$window")" "Tavelo - $texts/hkscs.txt${label:+ [$label]}"
done << 'SWITCHES'
5 big5 BIG5
2 gb2312
h big5-hkscs BIG5-HKSCS
SWITCHES
# Recent files is on at first here: long.txt, left at its last page, is the
# list's second item, after hkscs.txt.
keys "$window" alt+f
xdotool key 2
check "File, 2 reopens long.txt" \
  wait_caption_is "Tavelo - $long [UTF-8]"
check "at its last page, where it was left: top line $max_top" \
  page_matches long-reopened --encoding utf-8 --top "$max_top" "$long"
keys "$window" alt+f
xdotool key x
check "File, Exit ends the program" wait_program_end
check "the recent list heads with long.txt, Recent files, never chosen, is not saved" \
  equals "$(setting options 'recent file 1' | grep -c long.txt)|$(setting options 'recent files')" "1|"
check "the chosen reading mode (3, BIG5-HKSCS) is saved, Detect encoding, never chosen, is not" \
  equals "$(setting options 'reading mode')|$(setting options 'detect encoding')" "hex:03,00,00,00|"

echo "First run: Yes to the association offer, then Uninstall"
rm -rf "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
run_program
box=$(wait_window '^Association$') || box=""
check "the association offer appears" test -n "$box"
keys "$box" Return
dialog=$(wait_window '^Open$') || dialog=""
check "then the open dialog (open dialog on start-up is on)" test -n "$dialog"
keys "$dialog" Escape
desktop=$XDG_DATA_HOME/applications/tavelo.desktop
check "the desktop entry starts the program on the file" \
  equals "$(sed -n 's/^Exec=//p' "$desktop" 2> /dev/null)" "\"$(realpath "$TAVELO_GTK")\" %f"
check "the entry is in the applications menu, with the program's own icon" \
  equals "$(grep -c '^NoDisplay' "$desktop")|$(sed -n 's/^Icon=//p' "$desktop")" "0|tavelo"
check "which is a 32x32 PNG where the icon theme looks" \
  equals "$(identify -format '%m %wx%h' "$XDG_DATA_HOME/icons/hicolor/32x32/apps/tavelo.png" 2> /dev/null)" \
  "PNG 32x32"
check "the MIME type and its glob are in the user's packages" \
  test -f "$XDG_DATA_HOME/mime/packages/tavelo-gbtext.xml" -a -f "$XDG_DATA_HOME/mime/packages/tavelo-gb.xml"
check "a .gb file is of that type for the desktop" \
  equals "$(gio info -a standard::content-type "$gb" | sed -n 's/.*content-type: //p')" text/x-gbtext
check "and its default application is tavelo" \
  equals "$(gio mime text/x-gbtext | head -1)" "Default application for “text/x-gbtext”: tavelo.desktop"
gio open "$gb" > "$work/gio.log" 2>&1
opened=$(wait_window '^Tavelo - /') || opened=""
# A first run detects the encoding: the .gb file's GB2312 reads as GB18030.
check "the desktop opens a .gb file in a folder with a blank in tavelo" \
  equals "$(xdotool getwindowname "${opened:-0}" 2> /dev/null)" "Tavelo - $gb [GB18030]"
# About, on the bar's right end, opens its box on one click.
read -r _ _ bar_width _ <<< "$(window_geometry "$opened")"
xdotool mousemove --window "$opened" $((bar_width - 20)) 10 click 1
about=$(wait_window '^About$' 5) || about=""
check "one click on About opens its box" test -n "$about"
[ -n "$about" ] && keys "$about" Return
# The pointer left on the bar would take the menus the keys open to About.
xdotool mousemove --window "$opened" 100 200
# Decode HZ as ... the document itself: refused once, with no "Replace?" first.
dialog=$(choose_from_menu "$opened" alt+f h '^Save As$') || dialog=""
keys "$dialog" ctrl+a
xdotool type "$gb"
xdotool key Return
box=$(wait_window '^Tavelo$' 5) || box=""
check "saving over the open document is refused at once, with no 'Replace?' first" \
  equals "$(xdotool search --onlyvisible --name '^Confirm|Replace' 2> /dev/null | wc -l)|${box:+refused}" "0|refused"
[ -n "$box" ] && keys "$box" Return
keys "$opened" alt+f
sleep 0.5
xdotool key x
check "which File, Exit ends" wait_no_window '^Tavelo - /'
check "the settings keys are made, with their parents, empty" \
  equals "$(grep '^\[' "$settings" | LC_ALL=C sort | tr '\n' ' ')" \
  '[Software\Kestrow\Tavelo\last directory] [Software\Kestrow\Tavelo\options] [Software\Kestrow\Tavelo\window position] [Software\Kestrow\Tavelo] [Software\Kestrow] '
window=$(wait_window '^Tavelo - Chinese Text Reader$') || window=""
box=$(choose_from_menu "$window" alt+f u '^Uninstall$') || box=""
check "Uninstall asks first" test -n "$box"
keys "$box" alt+o
check "OK ends the program" wait_program_end
# GTK keeps its own files there (the file chooser's folder, recently used files).
check "and nothing it made is left in the user's folders" \
  equals "$(cd "$work" && find config data -mindepth 1 -not -path config/gtk-3.0 \
    -not -path data/recently-used.xbel | sort | tr '\n' ' ')" ""

finish_test
