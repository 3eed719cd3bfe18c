#!/usr/bin/env bash
# Races against the real editor on a private X server, with real clients
# (xclip, xdotool, a clipboard manager, a second editor), each repeated many
# times; prints one line of counts per race. Not part of the test command:
# minutes per run. Needs xvfb-run, xclip, xdotool and ImageMagick's compare;
# the manager race needs xfce4-clipman.
#   scripts/race-check.sh [BINARY] [ROUNDS]
#   paste-copy    a 4K bitmap pasted from another program, the copy button at once
#   paste-stroke  the same paste, a stroke at once
#   paste-paste   the same paste, then at once another program's PNG and Ctrl+V
#   manager       press and copy with xfce4-clipman reading every picture
#   two-saves     two editors save one name 0 to 0.5 s apart
set -uo pipefail
binary=$(realpath "${1:-build/korvel-annotarix}")
rounds=${2:-50}
if [[ -z ${KORVEL_RACE_INSIDE:-} ]]; then
  KORVEL_RACE_INSIDE=1 exec timeout -k 10 3600 xvfb-run -a -s "-screen 0 1920x1200x24 -nolisten tcp" \
    bash "$0" "$binary" "$rounds"
fi
work=$(mktemp -d)
trap 'pkill -P $$ 2>/dev/null; rm -rf "$work"' EXIT
cd "$work"
convert -size 3840x2160 gradient:'#203040-#f0c080' -type truecolor BMP3:pasted.bmp
convert -size 400x300 xc:'#808080' -type truecolor BMP3:start.bmp
convert -size 1920x1080 gradient:'#f08020-#2040a0' -depth 8 PNG24:second.png

# Starts an editor on start.bmp with a runtime folder of its own (so that a
# second one may run) and prints its window id once it shows.
start_editor() {
  local runtime=$work/run$1
  mkdir -p "$runtime" && chmod 700 "$runtime"
  cp start.bmp "start$1.bmp"
  XDG_RUNTIME_DIR=$runtime QT_QPA_PLATFORM=xcb "$binary" "$work/start$1.bmp" >/dev/null 2>&1 &
  local pid=$!
  for _ in $(seq 100); do
    local wid
    wid=$(xdotool search --all --onlyvisible --pid "$pid" --name "Korvel" 2>/dev/null | head -1)
    if [[ -n $wid ]]; then
      echo "$pid $wid"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

click() { xdotool mousemove --window "$1" "$2" "$3" click 1; }
# The clipboard's targets on one line.
targets() { timeout 2 xclip -selection clipboard -o -t TARGETS 2>/dev/null | tr '\n' ' '; }
# Waits (at most 5 s) until the clipboard offers $1 and not $2: whose offer it
# is (the editor offers both image/png and image/bmp).
wait_for_offer() {
  for _ in $(seq 250); do
    local now
    now=$(targets)
    if [[ $now == *"$1"* && $now != *"$2"* ]]; then return 0; fi
    sleep 0.02
  done
}
# Another program offers the bitmap and keeps serving it.
offer_bitmap() {
  xclip -selection clipboard -t image/bmp -i pasted.bmp &
  wait_for_offer image/bmp image/png
}
# Whether the clipboard's PNG differs from the picture file $1.
clipboard_differs() {
  timeout 30 xclip -selection clipboard -o -t image/png >read.png 2>/dev/null
  local diff
  diff=$(compare -metric AE read.png "$1" null: 2>&1) || true
  [[ $diff != 0 ]]
}

paste_race() {
  local then=$1 lost=0 crashed=0
  read -r pid wid < <(start_editor 1)
  for _ in $(seq "$rounds"); do
    offer_bitmap
    click "$wid" 125 14  # paste
    if [[ $then == copy ]]; then
      click "$wid" 100 14  # copy
    elif [[ $then == paste ]]; then
      # Another program copies; Ctrl+V once its picture is on the clipboard.
      xclip -selection clipboard -t image/png -i second.png &
      wait_for_offer image/png image/bmp
      xdotool key --clearmodifiers ctrl+v
      sleep 1
      click "$wid" 100 14  # copy: the clipboard shows what the canvas holds
      # The copy is the editor's once both its formats are offered.
      wait_for_offer "image/png image/bmp" x-kde-passwordManagerHint
    else
      xdotool mousemove --window "$wid" 100 120 mousedown 1 mousemove --window "$wid" 300 250 mouseup 1
    fi
    sleep 0.3
    if ! kill -0 "$pid" 2>/dev/null; then
      crashed=$((crashed + 1))
      read -r pid wid < <(start_editor 1)
      continue
    fi
    # After the copy the clipboard holds the pasted picture; after the stroke
    # its undo snapshot, which is the pasted picture too; after the second
    # paste, the second picture.
    if [[ $then == paste ]]; then
      if clipboard_differs second.png; then
        lost=$((lost + 1))
        if [[ -n ${KORVEL_RACE_DEBUG:-} ]]; then
          echo "lost: read $(identify -format '%wx%h' read.png 2>&1); against the first: $(compare -metric AE read.png pasted.bmp null: 2>&1); targets $(targets)" >&2
          cp read.png "/tmp/lost-$(date +%s%N).png"
        fi
      fi
    elif clipboard_differs pasted.bmp; then
      lost=$((lost + 1))
    fi
    click "$wid" 100 14  # a picture of the editor's on the clipboard: the offer ends
  done
  kill "$pid" 2>/dev/null
  echo "paste-$then: $rounds rounds, $lost lost, $crashed crashed"
}

manager_race() {
  if ! command -v xfce4-clipman >/dev/null; then
    echo "manager: xfce4-clipman is not installed"
    return
  fi
  dbus-run-session -- xfce4-clipman >/dev/null 2>&1 &
  sleep 1
  read -r pid wid < <(start_editor 1)
  local crashed=0
  for i in $(seq "$rounds"); do
    xdotool mousemove --window "$wid" $((50 + i % 200)) 100 mousedown 1 mousemove --window "$wid" 250 200 mouseup 1
    click "$wid" 100 14  # copy
    sleep 0.05
    if ! kill -0 "$pid" 2>/dev/null; then
      crashed=$((crashed + 1))
      read -r pid wid < <(start_editor 1)
    fi
  done
  kill "$pid" 2>/dev/null
  echo "manager: $rounds press-and-copy rounds with xfce4-clipman, $crashed crashed"
}

two_saves() {
  read -r pid1 wid1 < <(start_editor 1)
  read -r pid2 wid2 < <(start_editor 2)
  if [[ -n ${KORVEL_RACE_DEBUG:-} ]]; then echo "editors $pid1 $wid1 $pid2 $wid2" >&2; pgrep -fa korvel-annotarix >&2; fi
  # Side by side: a click meant for one is never caught by the other.
  xdotool windowmove "$wid1" 0 0 windowmove "$wid2" 960 0
  sleep 0.3
  local both=0
  for i in $(seq "$rounds"); do
    local gap
    gap=$(awk -v i="$i" -v n="$rounds" 'BEGIN { printf "%.2f", 0.5 * (i - 1) / (n > 1 ? n - 1 : 1) }')
    rm -f "$work"/Race*.bmp "$work"/Race*.jpg
    for wid in "$wid1" "$wid2"; do
      xdotool windowfocus --sync "$wid"
      click "$wid" 350 14
      xdotool key ctrl+a BackSpace type Race
    done
    xdotool windowfocus --sync "$wid1" key Return
    sleep "$gap"
    xdotool windowfocus --sync "$wid2" key Return
    sleep 1.5
    local saved
    saved=$(find "$work" -maxdepth 1 \( -name 'Race.???' -o -name 'Race_01.???' \) | wc -l)
    if ((saved == 2)); then both=$((both + 1)); fi
    if [[ -n ${KORVEL_RACE_DEBUG:-} ]]; then ls "$work" >&2; fi
    for wid in "$wid1" "$wid2"; do xdotool windowfocus --sync "$wid" key Return; done  # close any message
  done
  kill "$pid1" "$pid2" 2>/dev/null
  echo "two-saves: $rounds rounds 0 to 0.5 s apart, both pictures saved in $both"
}

[[ -z ${KORVEL_RACE_ONLY:-} || $KORVEL_RACE_ONLY == paste-copy ]] && paste_race copy
[[ -z ${KORVEL_RACE_ONLY:-} || $KORVEL_RACE_ONLY == paste-stroke ]] && paste_race stroke
[[ -z ${KORVEL_RACE_ONLY:-} || $KORVEL_RACE_ONLY == paste-paste ]] && paste_race paste
[[ -z ${KORVEL_RACE_ONLY:-} || $KORVEL_RACE_ONLY == manager ]] && manager_race
[[ -z ${KORVEL_RACE_ONLY:-} || $KORVEL_RACE_ONLY == two-saves ]] && two_saves
