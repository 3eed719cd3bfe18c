#!/bin/sh
# What a screen reader sees of the editor, and the keyboard's way to a tool and
# a colour, checked through AT-SPI as a screen reader switches it on: a private
# session bus with the accessibility bus on it, org.a11y.Status IsEnabled set.
# Needs an X display (the X11 pass runs it under Xvfb); skips (77) without one
# or without at-spi2-core and python3-pyatspi.
#   tests/accessibility/run.sh EDITOR_BINARY
binary=$1
launcher=/usr/libexec/at-spi-bus-launcher
[ -n "${DISPLAY:-}" ] || { echo "no X display"; exit 77; }
[ -x "$launcher" ] && command -v dbus-run-session >/dev/null && command -v gdbus >/dev/null || {
  echo "at-spi2-core, dbus or gdbus is missing"; exit 77; }
/usr/bin/python3 -c 'import pyatspi' 2>/dev/null || { echo "python3-pyatspi is missing"; exit 77; }
here=$(cd "$(dirname "$0")" && pwd)
exec timeout -k 5 100 dbus-run-session -- sh "$here/session.sh" "$binary" "$launcher" </dev/null
