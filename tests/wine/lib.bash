# What the Wine tests share: a fresh prefix, the X server, windows found by
# name, keys, registry values, screenshots of the client area and checks.
# Sourced by each test; the test calls start_test first and finish_test last.
#
# Environment:
#   TAVELO_EXE          the program (default build-win/tavelo.exe)
#   TAVELO_RENDER       the page renderer (default build/tools/tavelo-render)
#   TAVELO_WINE_BASE    a prefix made by tests/wine/make-prefix, copied for
#                       each test; without it each test makes its own
#   TAVELO_WINE_LIMIT   seconds a whole test may take (default 300)
#   TAVELO_WINE_KEEP    a folder that receives the screenshots of the run
#                       (after a failure /tmp/tavelo-wine-failed-TEST does)

wine_tests=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
project=$(cd "$wine_tests/../.." && pwd)
TAVELO_EXE=${TAVELO_EXE:-$project/build-win/tavelo.exe}
TAVELO_RENDER=${TAVELO_RENDER:-$project/build/tools/tavelo-render}
test_name=$(basename "$0" .sh)
passed=0
failed=0

export WINEDEBUG=-all
# No menu entries or file types of the host desktop, and no Mono or Gecko.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"

# ImageMagick's own convert; a wrapper of the same name may stand before it.
if [ -x /usr/bin/convert ]; then magick_convert=/usr/bin/convert; else magick_convert=convert; fi

note() { echo "  .... $*"; }

# equals GOT EXPECTED: true when they are the same text, else says what differs.
equals() { [ "$1" = "$2" ] || { note "got '$1', expected '$2'"; false; }; }
not() { ! "$@"; }

# check WHAT COMMAND...: runs the command and counts it as a passed or failed check.
check() {
  local what=$1
  shift
  if "$@"; then
    echo "  ok   $what"
    passed=$((passed + 1))
  else
    echo "  FAIL $what"
    failed=$((failed + 1))
  fi
}

# Re-runs the test inside its own X server under an overall time limit, then
# makes the temporary folder and a fresh prefix (copied from the shared one).
start_test() {
  if [ -z "${TAVELO_IN_XVFB:-}" ]; then
    for tool in wine wineserver winepath xvfb-run xdotool import python3; do
      command -v "$tool" > /dev/null || { echo "$test_name: $tool is missing (run scripts/install-packages)"; exit 1; }
    done
    [ -f "$TAVELO_EXE" ] || { echo "$test_name: no $TAVELO_EXE (build the Windows program first)"; exit 1; }
    export TAVELO_IN_XVFB=1
    exec timeout --kill-after=15 "${TAVELO_WINE_LIMIT:-300}" \
      xvfb-run -a -s "-screen 0 1024x768x24" bash "$0" "$@"
  fi
  echo "== $test_name =="
  work=$(mktemp -d /tmp/tavelo-wine-XXXXXX)
  export WINEPREFIX=$work/prefix
  trap cleanup EXIT
  trap 'echo "$test_name: stopped"; exit 124' TERM INT
  if [ -n "${TAVELO_WINE_BASE:-}" ] && [ -f "$TAVELO_WINE_BASE/system.reg" ]; then
    cp -a "$TAVELO_WINE_BASE" "$WINEPREFIX"
  else
    note "no shared prefix: making one (about a minute)"
    "$wine_tests/make-prefix" "$WINEPREFIX" || { echo "$test_name: wineboot failed"; exit 1; }
  fi
}

# After a failure the screenshots are kept for a person to look at.
keep_screenshots() {
  local keep=${TAVELO_WINE_KEEP:-}
  [ -z "$keep" ] && [ "$failed" -gt 0 ] && keep=/tmp/tavelo-wine-failed-$test_name
  if [ -n "$keep" ] && [ -d "${work:-}" ] && [ -z "${screenshots_kept:-}" ]; then
    mkdir -p "$keep"
    cp "$work"/*.png "$keep"/ 2> /dev/null
    echo "$test_name: screenshots kept in $keep"
  fi
  screenshots_kept=1
}

cleanup() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k 2> /dev/null
    wineserver -w 2> /dev/null
  fi
  keep_screenshots
  [ -n "${work:-}" ] && rm -rf "$work"
}

# The closing line; the exit status is 0 only when every check passed.
finish_test() {
  keep_screenshots
  echo "$test_name: $passed passed, $failed failed"
  [ "$failed" -eq 0 ] && [ "$passed" -gt 0 ]
  exit $?
}

# ---- The program and its windows ----

# run_program ARGUMENT...: starts tavelo.exe in the background; its pid in program_pid.
run_program() {
  wine "$TAVELO_EXE" "$@" > "$work/program.log" 2>&1 &
  program_pid=$!
}

# Waits until the program's process has ended; false after SECONDS (default 20).
wait_program_end() {
  local deadline=$((SECONDS + ${1:-20}))
  while kill -0 "$program_pid" 2> /dev/null; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.2
  done
  wait "$program_pid" 2> /dev/null
  return 0
}

# wait_window REGEX [SECONDS]: prints the id of the first window whose name
# matches; false when none appeared in time (default 30 s).
wait_window() {
  local deadline=$((SECONDS + ${2:-30})) id
  while [ $SECONDS -lt $deadline ]; do
    id=$(xdotool search --onlyvisible --name "$1" 2> /dev/null | head -1)
    if [ -n "$id" ]; then
      echo "$id"
      return 0
    fi
    sleep 0.2
  done
  return 1
}

# True while a visible window has a name matching REGEX.
window_shown() { [ -n "$(xdotool search --onlyvisible --name "$1" 2> /dev/null)" ]; }

# wait_no_window REGEX [SECONDS]: true once no visible window matches.
wait_no_window() {
  local deadline=$((SECONDS + ${2:-15}))
  while window_shown "$1"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.2
  done
}

# keys WINDOW KEY...: gives the window the keyboard and types the keys.
# Xvfb has no window manager, so the focus is set directly.
keys() {
  local window=$1
  shift
  timeout 10 xdotool windowfocus --sync "$window" 2> /dev/null || xdotool windowfocus "$window"
  sleep 0.3
  xdotool key --delay 80 "$@"
  sleep 0.3
}

# choose_from_menu WINDOW MENU-KEY ITEM-KEY TITLE: opens the menu, chooses the
# item by its mnemonic and prints the id of the window titled TITLE (a
# pattern) that it opens. A window that has only just appeared may miss the
# keys, and an item may stay grayed a moment (Paste, until the clipboard
# change is seen): then Esc closes whatever opened, and the keys go again.
choose_from_menu() {
  local attempt
  for attempt in 1 2 3 4; do
    keys "$1" "$2"
    sleep 0.5
    xdotool key "$3"
    wait_window "$4" 5 && return 0
    xdotool key Escape Escape
  done
  return 1
}

# open_file FILE LABEL: File, Open, the file's name typed into the dialog;
# true once the caption names the file (and the mode's label, if any).
open_file() {
  local name caption dialog
  name=$(winepath -w "$1")
  caption="Tavelo - $name${2:+ [$2]}"
  dialog=$(choose_from_menu "$window" alt+f o '^Open$') || { note "no Open dialog"; return 1; }
  keys "$dialog" ctrl+a
  xdotool type --delay 20 "$name"
  xdotool key Return
  wait_no_window '^Open$' 10
  local deadline=$((SECONDS + 10))
  while [ "$(xdotool getwindowname "$window")" != "$caption" ]; do
    [ $SECONDS -ge $deadline ] && { equals "$(xdotool getwindowname "$window")" "$caption"; return; }
    sleep 0.2
  done
}

# ask_to_find WINDOW TEXT: Edit, Find, TEXT typed into the dialog (hanzi
# too), Find next; true once the dialog asked and has gone.
ask_to_find() {
  local dialog
  dialog=$(choose_from_menu "$1" alt+e f '^Find$') || return 1
  keys "$dialog" ctrl+a
  xdotool type --delay 80 "$2"
  sleep 0.3
  xdotool key Return
  wait_no_window '^Find$' 10
}

# Prints X Y WIDTH HEIGHT of the window's X11 window on the screen.
window_geometry() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  echo "$X $Y $WIDTH $HEIGHT"
}

# ---- Registry ----

# reg_value KEY NAME: prints "TYPE DATA" of a value ("" names the default value).
reg_value() {
  local output
  if [ -z "$2" ]; then
    output=$(wine reg query "$1" /ve 2> /dev/null) || return 1
  else
    output=$(wine reg query "$1" /v "$2" 2> /dev/null) || return 1
  fi
  printf '%s\n' "$output" | tr -d '\r' | sed -n 's/^    .*    \(REG_[A-Z_]*\)    \{0,1\}\(.*\)$/\1 \2/p' | head -1
}

# True when the key exists.
reg_key_exists() { wine reg query "$1" > /dev/null 2>&1; }

# The 4 little-endian bytes of a 32-bit integer as reg.exe's hex text.
le32() { printf '%08x' $(($1 & 0xFFFFFFFF)) | sed -E 's/(..)(..)(..)(..)/\4\3\2\1/'; }

# The signed integer in reg.exe's hex text of little-endian bytes (2 or 4 of them).
from_le() {
  local hex=$1 swapped="" value
  while [ -n "$hex" ]; do
    swapped=${hex:0:2}$swapped
    hex=${hex:2}
  done
  value=$((16#$swapped))
  [ ${#1} -eq 8 ] && [ $value -ge 2147483648 ] && value=$((value - 4294967296))
  echo $value
}

# reg_binary_is KEY NAME BYTES: the value is REG_BINARY of exactly BYTES bytes.
reg_binary_is() {
  local value
  value=$(reg_value "$1" "$2") || return 1
  [ "${value%% *}" = REG_BINARY ] && [ ${#value} -eq $((11 + 2 * $3)) ]
}

# reg_int KEY NAME: prints the integer a REG_BINARY value holds.
reg_int() {
  local value
  value=$(reg_value "$1" "$2") || return 1
  from_le "${value#REG_BINARY }"
}

# set_binary KEY NAME HEX: writes a REG_BINARY value.
set_binary() { wine reg add "$1" /v "$2" /t REG_BINARY /d "$3" /f > /dev/null 2>&1; }

# save_placement LEFT TOP RIGHT BOTTOM [AUTOOPEN]: the settings a previous run
# would have left: a normal window at that rectangle, silent mode off, the
# open dialog at start-up on or off.
save_placement() {
  local key='HKLM\Software\Kestrow\Tavelo'
  set_binary "$key\\window position" winstatus 0000
  set_binary "$key\\window position" left "$(le32 "$1")"
  set_binary "$key\\window position" top "$(le32 "$2")"
  set_binary "$key\\window position" right "$(le32 "$3")"
  set_binary "$key\\window position" bottom "$(le32 "$4")"
  set_binary "$key\\options" "silent mode" 00000000
  set_binary "$key\\options" "auto open file" "$(le32 "${5:-0}")"
  wine reg add "$key\\last directory" /f > /dev/null 2>&1
}

# ---- Screenshots and the client area ----

# screenshot WINDOW NAME: saves the window's pixels as NAME.png and NAME.gray
# (8-bit grey, row by row); prints WIDTH HEIGHT.
screenshot() {
  import -window "$1" "$work/$2.png" 2> /dev/null || return 1
  "$magick_convert" "$work/$2.png" -colorspace Gray -depth 8 "gray:$work/$2.gray" || return 1
  identify -format '%w %h\n' "$work/$2.png"
}

# client_matches WINDOW NAME [RENDER OPTION...] DOCUMENT: the window's client
# area equals, pixel for pixel, the page tavelo-render paints for the client
# size found in the screenshot. Tries for a few seconds, while the program
# may still be painting; leaves the found rectangle in client_rect.
client_matches() {
  local window=$1 name=$2 deadline=$((SECONDS + 10)) size rect left top width height
  shift 2
  while :; do
    size=$(screenshot "$window" "$name") || return 1
    # Right after a resize the window may not have drawn its frame yet.
    if ! rect=$(python3 "$wine_tests/pixels.py" client "$work/$name.gray" ${size%% *} ${size##* } \
      2> "$work/$name.diff"); then
      [ $SECONDS -ge $deadline ] && break
      sleep 0.5
      continue
    fi
    read -r left top width height <<< "$rect"
    client_rect=$rect
    "$TAVELO_RENDER" --size "${width}x$height" "$@" "$work/$name-expected.png" || return 1
    "$magick_convert" "$work/$name-expected.png" -depth 8 "gray:$work/$name-expected.gray"
    if python3 "$wine_tests/pixels.py" compare "$work/$name.gray" ${size%% *} "$left" "$top" \
      "$work/$name-expected.gray" "$width" "$height" > "$work/$name.diff"; then
      return 0
    fi
    [ $SECONDS -ge $deadline ] && break
    sleep 0.5
  done
  note "$(cat "$work/$name.diff") (client $rect; screenshots kept as $name*.png)"
  return 1
}

# ---- Documents in the reading modes ----

# make_encoded_texts FOLDER: writes the documents of the encodings tests.
# gbk.txt, gb18030.txt, big5.txt (CP950), hkscs.txt, utf8.txt (with a BOM),
# utf16.txt (little-endian, with a BOM) and hz.txt have seventy lines each,
# every ninth a paragraph wider than the window, so that display lines also
# start inside a character run (an HZ ~{ run, a UTF-16 text at an odd line).
# Each holds what its mode alone reads as written: GBK's and GB18030's
# characters beyond GB2312, the codes CP950 and Big5-HKSCS read differently
# (① is C7E9 in one and C6A1 in the other). long.txt is UTF-8 of 45,000
# lines, some of them wrapping, over 81,000 display lines in all.
make_encoded_texts() {
  python3 - "$1" << 'EOF'
import os, sys
def text(words, codec, bom=b""):
    lines = [words * 12 if i % 9 == 4 else "%03d %s" % (i, words) for i in range(70)]
    return bom + ("\r\n".join(lines) + "\r\n").encode(codec)
files = {
    "gbk.txt": text("朱镕基說話：囧，閱讀繁體字，啰嗦。", "gbk"),
    "gb18030.txt": text("欧元€与四字节的ß、Ö、ā和𠀀。", "gb18030"),
    "big5.txt": text("這是繁體中文閱讀器①，測試「引號」。", "cp950"),
    "hkscs.txt": text("佢講嘅嘢①，我哋冇聽到，咗喺度。", "big5hkscs"),
    "utf8.txt": text("UTF-8：中文、Grüße、Привет、𠀀、☺。", "utf-8", b"\xef\xbb\xbf"),
    "utf16.txt": text("UTF-16：中文、Grüße、閱讀、𠀀。", "utf-16-le", b"\xff\xfe"),
    "hz.txt": text("编码的中文文本，简体字。", "hz"),
}
lines = ["%05d %s" % (i, "长文档的一行，中文与English混排。" * (i % 5 + 1)) for i in range(45000)]
files["long.txt"] = ("\n".join(lines) + "\n").encode("utf-8")
for name, data in files.items():
    open(os.path.join(sys.argv[1], name), "wb").write(data)
EOF
}
