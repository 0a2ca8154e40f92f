#!/usr/bin/env bash
# tavelo.exe under Wine reads GBK, GB18030, BIG5, Big5-HKSCS, UTF-8, UTF-16
# and HZ in the modes of its Options menu: each document, chosen mode by
# mode, shows the page tavelo-render paints in that mode, the mode in the
# caption; a mode chosen with a document open reads it again from the same
# line; a UTF-8 document of more than 40,000 lines scrolls to its last page
# by keys, wheel and scroll bar; with Detect encoding on, each document opens
# in the mode detection picks, whatever the last one was; the choices are
# saved only once made.
source "$(dirname "$0")/lib.bash"
start_test "$@"

options='HKLM\Software\Kestrow\Tavelo\options'
main='^Tavelo - Chinese Text Reader$'


texts=$work/texts
mkdir -p "$texts"
make_encoded_texts "$texts"

# Options, then the item's mnemonic.
choose() {
  keys "$window" alt+o
  sleep 0.3
  xdotool key "$1"
  sleep 0.5
}

caption_is() { equals "$(xdotool getwindowname "$window")" "Tavelo - $(winepath -w "$1")${2:+ [$2]}"; }

echo "Each mode chosen from the Options menu (detection off, as at first)"
save_placement 100 50 740 600 0
run_program
window=$(wait_window "$main") || window=""
check "the main window appears" test -n "$window"
sleep 1
page_lines=""
# MNEMONIC ENCODING LABEL FILE
while read -r mnemonic encoding label file; do
  choose "$mnemonic"
  check "$file in $label: the caption is 'Tavelo - <file> [$label]'" open_file "$texts/$file" "$label"
  check "$file in $label: the first page of tavelo-render --encoding $encoding" \
    client_matches "$window" "$file-top" --encoding "$encoding" "$texts/$file"
  read -r _ _ width height <<< "$client_rect"
  # The comparison must tell the modes apart: the same page in GB2312 differs.
  "$TAVELO_RENDER" --size "${width}x$height" "$texts/$file" "$work/$file-gb2312.png"
  check "$file in $label: its page differs from GB2312's" not cmp -s "$work/$file-top-expected.png" "$work/$file-gb2312.png"
  if [ -z "$page_lines" ]; then
    page_lines=$("$TAVELO_RENDER" --report --size "${width}x$height" "$texts/$file" "$work/view.png" |
      sed -n 's/.*pageLines=\([0-9]*\).*/\1/p')
  fi
  # A page down repaints all; a line down moves the pixels and paints one
  # line, which the painter reads from that line's start.
  keys "$window" Next Down
  check "$file in $label: Page Down, Down: top line $((page_lines + 1))" \
    client_matches "$window" "$file-next" --encoding "$encoding" --top $((page_lines + 1)) "$texts/$file"
done << 'MODES'
8 gb18030 GB18030 gbk.txt
8 gb18030 GB18030 gb18030.txt
5 big5 BIG5 big5.txt
h big5-hkscs BIG5-HKSCS hkscs.txt
u utf-8 UTF-8 utf8.txt
6 utf-16 UTF-16 utf16.txt
z hz HZ hz.txt
MODES

echo "Another mode chosen with a document open: it is read again from line 2"
choose 2
check "utf8.txt opens in GB2312 mode: no label in the caption" open_file "$texts/utf8.txt" ""
keys "$window" Down Down
check "utf8.txt in GB2312 at top line 2" \
  client_matches "$window" switch-gb2312 --top 2 "$texts/utf8.txt"
# MNEMONIC ENCODING LABEL; v is Viewing BIG5 text, BIG5 read through GB2312's glyphs.
while read -r mnemonic encoding label; do
  choose "$mnemonic"
  check "then $mnemonic: the caption is 'Tavelo - <file>${label:+ [$label]}'" caption_is "$texts/utf8.txt" "$label"
  check "and the page of tavelo-render --encoding $encoding at top line 2" \
    client_matches "$window" "switch-$mnemonic-$encoding" --encoding "$encoding" --top 2 "$texts/utf8.txt"
done << 'SWITCHES'
u utf-8 UTF-8
v big5-as-gb2312
u utf-8 UTF-8
2 gb2312
SWITCHES

echo "A UTF-8 document of 45,000 lines"
long=$texts/long.txt
choose u
check "long.txt opens in UTF-8" open_file "$long" UTF-8
check "its first page" client_matches "$window" long-top --encoding utf-8 "$long"
read -r left top width height <<< "$client_rect"
view=$("$TAVELO_RENDER" --report --encoding utf-8 --size "${width}x$height" --top 999999 "$long" "$work/view.png")
note "view for that client: $view"
max_top=$(sed -n 's/.*maxTopLine=\([0-9]*\).*/\1/p' <<< "$view")
page_lines=$(sed -n 's/.*pageLines=\([0-9]*\).*/\1/p' <<< "$view")
check "it has more display lines than the GB modes' 32,768" test "${max_top:-0}" -gt 40000
# The scroll bar stands right of the client area; with the view at the top
# its thumb lies just below the up arrow, a square as wide as the bar. A
# drag let go far from the bar puts the thumb back, so it ends just below.
shot_width=$(identify -format %w "$work/long-top.png")
bar_width=$((shot_width - left - width - 2))
drag_thumb_down() {
  xdotool mousemove --window "$window" $((left + width + bar_width / 2)) $((top + bar_width + 3))
  xdotool mousedown 1
  sleep 0.3
  xdotool mousemove --window "$window" $((left + width + bar_width / 2)) $((top + height + 10))
  sleep 0.3
  xdotool mouseup 1
  sleep 0.3
}
# STEP TOP-LINE WHAT; "wheel" is a notch down over the client area, "thumb" a
# drag of the scroll bar's thumb below the bar's end.
while read -r step line what; do
  case $step in
    wheel)
      xdotool mousemove --window "$window" $((left + width / 2)) $((top + height / 2)) click 5
      sleep 0.3
      ;;
    thumb) drag_thumb_down ;;
    *) keys "$window" "$step" ;;
  esac
  check "$what: top line $line" client_matches "$window" "long-$step-$line" --encoding utf-8 --top "$line" "$long"
done << STEPS
ctrl+End $max_top Ctrl+End shows the last page
Prior $((max_top - page_lines)) Page Up moves a page back
wheel $((max_top - page_lines + 3)) one wheel notch down moves three lines
Next $max_top Page Down stops at the last page
Home 0 Home goes back to the top
thumb $max_top the thumb dragged to the bar's end shows the last page
STEPS
keys "$window" alt+F4
check "Alt+F4 ends the program" wait_program_end
check "only the chosen reading mode is saved: 4 (UTF-8), and no detect encoding" \
  equals "$(reg_value "$options" "reading mode") | $(reg_value "$options" "detect encoding")" \
  "REG_BINARY 04000000 | "

echo "Detect encoding on: each document in the mode detection picks"
save_placement 100 50 740 600 0
run_program
window=$(wait_window "$main") || window=""
sleep 1
check "the reading mode chosen last time comes back: gb18030.txt opens in UTF-8" \
  open_file "$texts/gb18030.txt" UTF-8
choose d
# One after another, so that none is read in the mode of the one before.
while read -r file label; do
  check "$file: the caption is 'Tavelo - <file> [$label]'" open_file "$texts/$file" "$label"
  check "$file: the page of tavelo-render --encoding auto" \
    client_matches "$window" "auto-$file" --encoding auto "$texts/$file"
done << 'DETECTED'
gbk.txt GB18030
big5.txt BIG5
utf16.txt UTF-16
hkscs.txt BIG5-HKSCS
utf8.txt UTF-8
hz.txt HZ
gb18030.txt GB18030
DETECTED
keys "$window" alt+F4
check "Alt+F4 ends the program" wait_program_end
check "Detect encoding is saved on (1), the reading mode kept (4)" \
  equals "$(reg_value "$options" "detect encoding") | $(reg_value "$options" "reading mode")" \
  "REG_BINARY 01000000 | REG_BINARY 04000000"

finish_test
