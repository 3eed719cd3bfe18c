#!/usr/bin/env bash
# Writes what the X screen DISPLAY shows to FILE (a PPM picture): the screen
# is grabbed at once with xwd (all windows, whatever their depth: -screen),
# and converted afterwards, to an uncompressed format that is quick to write,
# so that a test can take screenshots one after another on a busy machine.
# Usage: scripts/x11-screenshot.sh DISPLAY FILE
set -euo pipefail
raw=$(mktemp)
trap 'rm -f "$raw"' EXIT
timeout 10 xwd -display "$1" -root -screen -silent >"$raw"
timeout 20 convert "xwd:$raw" "ppm:$2"
