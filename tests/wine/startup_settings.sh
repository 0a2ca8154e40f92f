#!/usr/bin/env bash
# tavelo.exe under Wine: the first run's association offer, open dialog and
# settings keys; the settings written at exit; the saved placement and
# options restored by the next start; a moved and a maximized window saved.
source "$(dirname "$0")/lib.bash"
start_test "$@"

key='HKLM\Software\Kestrow\Tavelo'
position="$key\\window position"
options="$key\\options"
main='^Tavelo - Chinese Text Reader$'


echo "First run in a fresh prefix"
run_program
box=$(wait_window '^Association$') || box=""
check "the association offer appears" test -n "$box"
check "it comes before the main window is shown" not window_shown "$main"
check "the settings keys are not made before the answer" not reg_key_exists "$key"
keys "$box" n
check "No closes the offer" wait_no_window '^Association$'
dialog=$(wait_window '^Open$') || dialog=""
check "the open dialog follows (open dialog on start-up is on by default)" test -n "$dialog"
[ -n "$dialog" ] && keys "$dialog" Escape
window=$(wait_window "$main") || window=""
check "the main window shows the caption 'Tavelo - Chinese Text Reader'" test -n "$window"
for subkey in "window position" options "last directory"; do
  check "HKLM\\Software\\Kestrow\\Tavelo\\$subkey exists" reg_key_exists "$key\\$subkey"
done
check "No made no association (HKCR\\GBText)" not reg_key_exists 'HKCR\GBText'
check "no placement is written while the program runs" not reg_value "$position" winstatus

read -r gx gy gw gh <<< "$(window_geometry "$window")"
note "window at $gx,$gy, ${gw}x$gh on the X screen"
keys "$window" alt+F4
check "Alt+F4 ends the program" wait_program_end
check "winstatus is REG_BINARY of 2 bytes" reg_binary_is "$position" winstatus 2
check "winstatus is 0 (normal)" equals "$(reg_int "$position" winstatus)" 0
for side in left top right bottom; do
  check "$side is REG_BINARY of 4 bytes" reg_binary_is "$position" $side 4
done
check "silent mode is REG_BINARY of 4 bytes, 0" equals "$(reg_value "$options" "silent mode")" \
  "REG_BINARY 00000000"
check "auto open file is REG_BINARY of 4 bytes, 1" equals "$(reg_value "$options" "auto open file")" \
  "REG_BINARY 01000000"

# Without a window manager Wine's X11 window holds the menu bar and the
# client area only: the caption and the sizing frame lie outside it, in the
# part of the window rectangle that a window manager would draw. Their sizes
# are read off this first run, as the saved rectangle less the X11 window.
left=$(reg_int "$position" left)
top=$(reg_int "$position" top)
right=$(reg_int "$position" right)
bottom=$(reg_int "$position" bottom)
frame_left=$((gx - left))
frame_top=$((gy - top))
frame_right=$((right - gx - gw))
frame_bottom=$((bottom - gy - gh))
note "saved rectangle $left,$top-$right,$bottom: frame left $frame_left, top $frame_top, right $frame_right, bottom $frame_bottom"
check "the saved rectangle is the window's: equal side frames" equals "$frame_right" "$frame_left"
check "the saved rectangle is the window's: a bottom frame like the sides" equals "$frame_bottom" "$frame_left"
check "the saved rectangle is the window's: a caption above the X11 window" \
  test "$frame_top" -gt "$frame_left" -a "$frame_top" -lt 60 -a "$frame_left" -ge 0

echo "Second run: the placement left 100, top 50, right 700, bottom 450, silent mode on, no open dialog"
save_placement 100 50 700 450 0
set_binary "$options" "silent mode" 01000000
run_program
window=$(wait_window "$main") || window=""
check "the main window appears" test -n "$window"
sleep 1
check "no association offer at a later run" not window_shown '^Association$'
check "no open dialog with auto open file 0" not window_shown '^Open$'
expected="$((100 + frame_left)) $((50 + frame_top)) $((600 - frame_left - frame_right)) $((400 - frame_top - frame_bottom))"
check "the window stands at the saved rectangle (X11 window $expected)" \
  equals "$(window_geometry "$window")" "$expected"
xdotool windowmove "$window" $((200 + frame_left)) $((120 + frame_top))
sleep 1
keys "$window" alt+F4
check "Alt+F4 ends the program" wait_program_end
check "the moved window is saved: left 200" equals "$(reg_int "$position" left)" 200
check "the moved window is saved: top 120" equals "$(reg_int "$position" top)" 120
check "the moved window is saved: right 800" equals "$(reg_int "$position" right)" 800
check "the moved window is saved: bottom 520" equals "$(reg_int "$position" bottom)" 520
check "silent mode read and saved back: 1" equals "$(reg_int "$options" "silent mode")" 1
check "auto open file read and saved back: 0" equals "$(reg_int "$options" "auto open file")" 0

echo "Third run: winstatus 2 (maximized)"
set_binary "$position" winstatus 0200
run_program
window=$(wait_window "$main") || window=""
check "the main window appears" test -n "$window"
sleep 1
# Without a window manager Wine moves a maximized window to the maximized
# origin but leaves its size to the window manager that is not there; the
# state shows in what the window saves: winstatus 2 comes only from a
# SIZE_MAXIMIZED notification, and a restored window would save its rectangle.
read -r mx my mw mh <<< "$(window_geometry "$window")"
note "X11 window $mx,$my ${mw}x$mh"
check "it is shown maximized: its frame moved off the screen's top-left corner" \
  test "${mx:-1}" -le 0 -a "${my:-99}" -lt "$frame_top"
keys "$window" alt+F4
check "Alt+F4 ends the program" wait_program_end
check "winstatus 2 is saved" equals "$(reg_int "$position" winstatus)" 2
check "the normal rectangle stays saved" equals \
  "$(reg_int "$position" left) $(reg_int "$position" top) $(reg_int "$position" right) $(reg_int "$position" bottom)" \
  "200 120 800 520"

finish_test
