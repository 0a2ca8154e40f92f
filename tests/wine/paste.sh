#!/usr/bin/env bash
# tavelo.exe under Wine in an English locale, whose code page holds no
# hanzi: hanzi put on the X clipboard, which Wine hands to the program as
# CF_UNICODETEXT, are written by File, Paste to file in GB18030, those of
# GB2312 as GB2312 writes them, and the written file is opened and shown.
source "$(dirname "$0")/lib.bash"
command -v xclip > /dev/null || { echo "$test_name: xclip is missing (run scripts/install-packages)"; exit 1; }
start_test "$@"

# Every Wine process of the test runs in an English locale (where the
# machine lacks it, Wine's fallback is English too).
wine() { LANG=en_US.UTF-8 LC_ALL=en_US.UTF-8 command wine "$@"; }

hex() { od -An -tx1 "$1" | tr -d ' \n'; }
same_bytes() { cmp -s "$1" "$2" || { note "got $(hex "$1"), expected $(hex "$2")"; false; }; }

texts=$work/texts
mkdir -p "$texts"
main='^Tavelo - Chinese Text Reader$'
# GB2312's hanzi, a GBK one, one of plane 2, the euro sign and Latin letters,
# with the line breaks Windows gives text on its clipboard.
text=$'中文，啊！\r\n镕𠀀€ Aéß\r\n'
printf '%s' "$text" | python3 -c 'import sys; sys.stdout.buffer.write(sys.stdin.buffer.read().decode().encode("gb18030"))' \
  > "$work/expected"
check "the Windows code page is 1252, which holds no hanzi" \
  equals "$(reg_value 'HKLM\System\CurrentControlSet\Control\Nls\CodePage' ACP)" "REG_SZ 1252"

save_placement 100 50 740 600 0
run_program
window=$(wait_window "$main") || window=""
check "the main window appears" test -n "$window"
printf '%s' "$text" | xclip -quiet -selection clipboard -t UTF8_STRING > /dev/null 2>&1 &
clipboard_pid=$!

dialog=$(choose_from_menu "$window" alt+f p '^Save As$') || dialog=""
check "Paste to file asks for a name" test -n "$dialog"
pasted=$(winepath -w "$texts/pasted.txt")
keys "$dialog" ctrl+a
xdotool type --delay 20 "$pasted"
xdotool key Return
opened=$(wait_window '^Tavelo - .*pasted.txt \[GB18030\]$') || opened=""
kill "$clipboard_pid" 2> /dev/null
check "the hanzi are written in GB18030, not as '?'" same_bytes "$texts/pasted.txt" "$work/expected"
check "and the written file is opened in GB18030 mode, which shows 镕 and 𠀀" \
  equals "$(xdotool getwindowname "${opened:-0}" 2> /dev/null)" "Tavelo - $pasted [GB18030]"
check "pixel for pixel as tavelo-render shows it" \
  client_matches "$window" pasted --encoding gb18030 "$texts/pasted.txt"
keys "$window" alt+F4
check "Alt+F4 ends the program" wait_program_end

finish_test
