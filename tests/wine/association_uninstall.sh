#!/usr/bin/env bash
# tavelo.exe under Wine: Yes to the first run's offer associates .gb files
# with the program, so that the shell opens one in it (a name with a blank
# included); Uninstall, confirmed, removes every key the program made and
# ends it; cancelled, it changes nothing; the next start offers again.
source "$(dirname "$0")/lib.bash"
start_test "$@"


texts="$work/my texts"
mkdir -p "$texts"
cp "$project/samples/sample.gb" "$texts/"
gb=$(winepath -w "$texts/sample.gb")
exe=$(winepath -w "$TAVELO_EXE")
main='^Tavelo - Chinese Text Reader$'

echo "First run: Yes to the association offer"
run_program
box=$(wait_window '^Association$') || box=""
check "the association offer appears" test -n "$box"
keys "$box" y
dialog=$(wait_window '^Open$') || dialog=""
[ -n "$dialog" ] && keys "$dialog" Escape
window=$(wait_window "$main") || window=""
check "the main window appears" test -n "$window"
check "HKCR\\GBText holds \"GB Text File\"" \
  equals "$(reg_value 'HKCR\GBText' '')" "REG_SZ GB Text File"
check "HKCR\\GBText\\shell\\open\\command holds \"$exe\" %1" \
  equals "$(reg_value 'HKCR\GBText\shell\open\command' '')" "REG_SZ \"$exe\" %1"
check "HKCR\\.gb holds GBText" equals "$(reg_value 'HKCR\.gb' '')" "REG_SZ GBText"
keys "$window" alt+F4
check "Alt+F4 ends the program" wait_program_end

echo "The shell opens $gb"
wine start /unix "$texts/sample.gb" > "$work/start.log" 2>&1
window=$(wait_window '^Tavelo - Z:') || window=""
check "wine start opens it in tavelo.exe: a window captioned 'Tavelo - $gb'" \
  equals "$(xdotool getwindowname "${window:-0}" 2> /dev/null)" "Tavelo - $gb"
check "and shows it" client_matches "$window" started "$texts/sample.gb"
keys "$window" alt+F4
check "Alt+F4 closes it" wait_no_window '^Tavelo - '

echo "Uninstall"
# No name on the command line: Wine would quote this one for its blank, and
# the program takes its argument string whole, quotes included.
run_program
dialog=$(wait_window '^Open$') || dialog=""
[ -n "$dialog" ] && keys "$dialog" Escape
window=$(wait_window "$main") || window=""
box=$(choose_from_menu "$window" alt+f u '^Uninstall$') || box=""
check "File > Uninstall asks for confirmation" test -n "$box"
keys "$box" Escape
check "Esc (Cancel) closes the box" wait_no_window '^Uninstall$'
sleep 1
check "after Cancel the program goes on" kill -0 "$program_pid"
check "after Cancel the settings keys stay" reg_key_exists 'HKLM\Software\Kestrow\Tavelo\options'
check "after Cancel the association stays" reg_key_exists 'HKCR\GBText\shell\open\command'
box=$(choose_from_menu "$window" alt+f u '^Uninstall$') || box=""
check "Uninstall asks again" test -n "$box"
# Cancel is the default button: Shift+Tab moves to OK, Return presses it.
keys "$box" shift+Tab Return
check "OK ends the program" wait_program_end
check "HKLM\\Software\\Kestrow is gone" not reg_key_exists 'HKLM\Software\Kestrow'
check "HKCR\\GBText is gone" not reg_key_exists 'HKCR\GBText'
check "HKCR\\.gb is gone" not reg_key_exists 'HKCR\.gb'
check "HKLM\\Software stays" reg_key_exists 'HKLM\Software'

echo "The next start is a first run again"
run_program
box=$(wait_window '^Association$') || box=""
check "the association offer appears again" test -n "$box"
keys "$box" n
dialog=$(wait_window '^Open$') || dialog=""
check "and the open dialog (the options were not saved)" test -n "$dialog"
[ -n "$dialog" ] && keys "$dialog" Escape
window=$(wait_window "$main") || window=""
keys "$window" alt+F4
check "Alt+F4 ends the program" wait_program_end
check "No left HKCR\\GBText absent" not reg_key_exists 'HKCR\GBText'
check "the settings keys are made anew" reg_key_exists 'HKLM\Software\Kestrow\Tavelo\window position'

finish_test
