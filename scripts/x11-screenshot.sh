#!/usr/bin/env bash
# Writes what the X screen DISPLAY shows to FILE (PNG): the screen is grabbed
# at once with xwd (all windows, whatever their depth: -screen), and turned
# into PNG afterwards, so a slow conversion does not delay the grab.
# Usage: scripts/x11-screenshot.sh DISPLAY FILE
set -euo pipefail
raw=$(mktemp)
trap 'rm -f "$raw"' EXIT
timeout 10 xwd -display "$1" -root -screen -silent >"$raw"
timeout 20 convert "xwd:$raw" "png:$2"
