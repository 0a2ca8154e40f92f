#!/usr/bin/env bash
# tavelo.exe under Wine with Options, Recent files turned on: a long UTF-8
# document left three pages down, another opened, the first reopened from
# the File menu shows the page it was left at, pixel for pixel; the list is
# saved in the options key.
source "$(dirname "$0")/lib.bash"
start_test "$@"

options='HKLM\Software\Kestrow\Tavelo\options'
main='^Tavelo - Chinese Text Reader$'

choose() { keys "$window" alt+o && xdotool key "$1" && sleep 0.5; }

texts=$work/texts
mkdir -p "$texts"
make_encoded_texts "$texts"
long=$texts/long.txt

# wait_caption FILE: true once the caption names the file in UTF-8.
wait_caption() {
  local caption deadline=$((SECONDS + 15))
  caption="Tavelo - $(winepath -w "$1") [UTF-8]"
  while [ "$(xdotool getwindowname "$window")" != "$caption" ]; do
    [ $SECONDS -ge $deadline ] && { equals "$(xdotool getwindowname "$window")" "$caption"; return; }
    sleep 0.2
  done
}

echo "Recent files turned on, a long document left three pages down"
save_placement 100 50 740 600 0
run_program
window=$(wait_window "$main") || window=""
check "the main window appears" test -n "$window"
sleep 1
check "off at first: nothing saved of it" not reg_value "$options" "recent files"
choose r
choose u
check "long.txt opens in UTF-8" open_file "$long" UTF-8
check "its first page" client_matches "$window" long-top --encoding utf-8 "$long"
read -r _ _ width height <<< "$client_rect"
page_lines=$("$TAVELO_RENDER" --report --encoding utf-8 --size "${width}x$height" "$long" "$work/view.png" |
  sed -n 's/.*pageLines=\([0-9]*\).*/\1/p')
keys "$window" Next Next Next
stopped=$((3 * page_lines))
check "three pages down: top line $stopped" \
  client_matches "$window" long-stopped --encoding utf-8 --top "$stopped" "$long"

echo "Another document, then the first from the File menu"
check "utf8.txt opens" open_file "$texts/utf8.txt" UTF-8
keys "$window" alt+f
sleep 0.5
xdotool key 2
check "File, 2 reopens long.txt" wait_caption "$long"
check "at top line $stopped, where it was left" \
  client_matches "$window" long-reopened --encoding utf-8 --top "$stopped" "$long"

keys "$window" alt+f x
check "Exit ends the program" wait_program_end
check "the option is saved as 1" equals "$(reg_int "$options" "recent files")" 1
check "the list's first item is long.txt" \
  equals "$(reg_value "$options" "recent file 1")" "REG_SZ $(winepath -w "$long")"

finish_test
