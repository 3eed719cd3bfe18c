#!/usr/bin/env bash
# Counts how often the idle editor wakes up: starts it under a private Xvfb
# display, waits until the window is up and the start-up work is done, then
# reads the voluntary context switches of all its threads from /proc before
# and after SECONDS seconds without any input.
#
# Usage: scripts/idle-wakeups.sh [BINARY] [SECONDS]   (default build/korvel-annotarix, 10)
set -euo pipefail
binary=${1:-build/korvel-annotarix}
seconds=${2:-10}
work=$(mktemp -d)
cp "$binary" "$work/korvel-annotarix"   # settings and scratch files stay in the scratch folder
trap 'kill "$pid" 2>/dev/null || true; kill "$xvfb" 2>/dev/null || true; rm -rf "$work"' EXIT

display=:$((90 + RANDOM % 100))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY=$display QT_QPA_PLATFORM=xcb "$work/korvel-annotarix" >/dev/null 2>&1 &
pid=$!
sleep 4   # window shown, start-up settled

switches() {
  local total=0 n
  for status in /proc/"$pid"/task/*/status; do
    n=$(awk '/^voluntary_ctxt_switches/ {print $2}' "$status" 2>/dev/null || echo 0)
    total=$((total + ${n:-0}))
  done
  echo "$total"
}
before=$(switches)
sleep "$seconds"
after=$(switches)
echo "voluntary context switches over ${seconds} s idle: $((after - before)) ($(basename "$binary"), threads: $(ls /proc/"$pid"/task | wc -l))"
