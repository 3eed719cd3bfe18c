#!/usr/bin/env bash
# Runs the X11 tests that read the screen (ctest label x11, NoticeOnScreen)
# under the X11 desktops users run, each on an Xvfb of its own, at scale 1
# and 2 (QT_SCALE_FACTOR): a bare X server, xfwm4 with its compositor,
# openbox, kwin_x11, mutter --x11, and GNOME's route through XWayland (mutter
# as a nested Wayland compositor drawing into the Xvfb, the editor on its
# XWayland). The screen is read with ImageMagick's import of the Xvfb's root
# window, which is what the compositor shows. A desktop that is not installed
# is left out with a note. Every step has a timeout.
# Usage: scripts/x11-desktop-tests.sh BUILD_DIR
set -uo pipefail
build=${1:-build}
status=0
shot=$(cd "$(dirname "$0")" && pwd)/x11-screenshot.sh
work=$(mktemp -d)
chmod 755 "$work"
scratch=$work
# shellcheck source=scripts/desktop-session.sh
source "$(dirname "$0")/desktop-session.sh"
trap 'cleanup; rm -rf "$work"' EXIT

if ! command -v Xvfb >/dev/null || ! command -v xwd >/dev/null || ! command -v convert >/dev/null; then
  echo "note: Xvfb, xwd or ImageMagick is missing; the on-screen X11 tests stay skipped"
  exit 0
fi

# The on-screen tests with the given environment (NAME=VALUE ...).
run_tests() {
  local name=$1
  shift
  echo "On-screen X11 tests under $name"
  mkdir -p "$work/client"
  chmod 700 "$work/client"
  env "$@" XDG_RUNTIME_DIR="$work/client" QT_QPA_PLATFORM=xcb KORVEL_DESKTOP_NAME="${name//[^A-Za-z0-9._-]/-}" timeout -k 5 120 \
    ctest --test-dir "$build" --output-on-failure -j1 -L x11 -R NoticeOnScreen --no-tests=error --timeout 60 \
    </dev/null || status=1
}

# A window manager started on a fresh Xvfb, then the tests at both scales.
# $1: a name; the rest: the window manager's command.
wm_pass() {
  local name=$1
  shift
  if ! command -v "$1" >/dev/null && [[ $1 != none ]]; then
    echo "note: $1 is missing; the on-screen tests under $name stay skipped"
    return
  fi
  start_x || {
    echo "note: Xvfb did not start"
    cleanup
    return
  }
  if [[ $1 != none ]]; then
    DISPLAY=:$display HOME=$work GSETTINGS_BACKEND=memory timeout -k 5 300 dbus-run-session -- "$@" \
      >"$work/wm.log" 2>&1 </dev/null &
    pids+=($!)
    # Up once it names itself on the root window (at most 10 s).
    for _ in $(seq 100); do
      if timeout 5 xprop -display ":$display" -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q '#'; then break; fi
      sleep 0.1
    done
    sleep 1  # its compositor's first frame
  fi
  for scale in 1 2; do
    run_tests "$name, scale $scale" DISPLAY=":$display" QT_SCALE_FACTOR=$scale \
      KORVEL_SCREENSHOT_COMMAND="$shot :$display"
  done
  cleanup
}

# GNOME's route: mutter nested in the Xvfb as a Wayland compositor with
# XWayland, one monitor of 1920 x 1080 at the scale given; the tests run as
# its session's program, on its XWayland display.
gnome_xwayland_pass() {
  if ! command -v mutter >/dev/null || ! command -v Xwayland >/dev/null; then
    echo "note: mutter or Xwayland is missing; the tests on GNOME's XWayland route stay skipped"
    return
  fi
  local scale
  for scale in 1 2; do
    start_x || return
    local rt=$work/rt$scale
    mkdir -m 700 "$rt"
    DISPLAY=:$display HOME=$work XDG_RUNTIME_DIR=$rt GSETTINGS_BACKEND=memory \
      MUTTER_DEBUG_DUMMY_MODE_SPECS=1920x1080 MUTTER_DEBUG_DUMMY_MONITOR_SCALES=$scale \
      timeout -k 5 200 dbus-run-session -- mutter --nested --wayland --wayland-display korvel -- \
      env QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR="$scale" KORVEL_DESKTOP_NAME="gnome-xwayland-scale-$scale" \
      KORVEL_SCREENSHOT_COMMAND="$shot :$display" \
      bash -c 'sleep 2; echo "On-screen X11 tests under GNOME (mutter, XWayland), scale $1";
        timeout -k 5 120 ctest --test-dir "$2" --output-on-failure -j1 -L x11 -R NoticeOnScreen \
          --no-tests=error --timeout 60 </dev/null; echo "exit $?" >"$3"' _ "$scale" "$build" "$work/gnome$scale" \
      >"$work/gnome.log" 2>&1 </dev/null
    grep -E '^(On-screen|[0-9]+/[0-9]+ Test|[0-9]+% tests)|Failure|Expected|Which is|no notice' "$work/gnome.log"
    if [[ ! -f $work/gnome$scale ]]; then
      echo "note: mutter did not run the tests at scale $scale"
      tail -5 "$work/gnome.log"
    elif [[ $(cat "$work/gnome$scale") != "exit 0" ]]; then
      status=1
    fi
    cleanup
  done
}

wm_pass "bare X" none
wm_pass "xfwm4 (compositor on)" xfwm4 --compositor=on
wm_pass openbox openbox
wm_pass kwin_x11 kwin_x11
wm_pass "mutter --x11" mutter --x11
gnome_xwayland_pass
exit "$status"
