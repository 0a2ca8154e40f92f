#!/usr/bin/env bash
# Makes a Wine prefix in FOLDER (which must not exist yet) for the Wine tests
# to copy: wineboot's first start takes most of a minute, a copy a second.
# Usage: tests/wine/make-prefix.sh FOLDER
set -euo pipefail
[ $# -eq 1 ] || { echo "usage: make-prefix.sh FOLDER" >&2; exit 2; }
[ ! -e "$1" ] || { echo "make-prefix.sh: $1 exists already" >&2; exit 2; }
mkdir -p "$(dirname "$1")"
export WINEPREFIX
WINEPREFIX=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
export WINEDEBUG=-all WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree=d;mshtml=d"
# wineboot wants a display for its progress window when it takes long.
if [ -n "${DISPLAY:-}" ]; then
  timeout 300 wineboot -i
else
  timeout 300 xvfb-run -a -s "-screen 0 1024x768x24" wineboot -i
fi
# The registry is on disk once the prefix's wineserver has gone.
timeout 60 wineserver -w
[ -f "$WINEPREFIX/system.reg" ]
