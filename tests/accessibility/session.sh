#!/bin/sh
# Inside the private session bus: the accessibility bus, switched on as a
# screen reader does, then the editor (a copy of its own, so that its settings
# stay in a scratch folder) on a white picture, then the checks.
binary=$1
launcher=$2
work=$(mktemp -d)
trap 'kill $editor $bus 2>/dev/null; rm -rf "$work"' EXIT
"$launcher" --launch-immediately >/dev/null 2>&1 &
bus=$!
for _ in $(seq 50); do
  gdbus call --session --dest org.a11y.Bus --object-path /org/a11y/bus \
    --method org.freedesktop.DBus.Properties.Set org.a11y.Status IsEnabled '<true>' >/dev/null 2>&1 && break
  sleep 0.1
done
mkdir -p "$work/run" "$work/pictures" && chmod 700 "$work/run"
cp "$binary" "$work/korvel-annotarix"
/usr/bin/python3 "$(dirname "$0")/a11y_check.py" white "$work/pictures/p.bmp" || exit 1
HOME=$work XDG_RUNTIME_DIR=$work/run QT_QPA_PLATFORM=xcb "$work/korvel-annotarix" "$work/pictures/p.bmp" \
  >/dev/null 2>&1 &
editor=$!
/usr/bin/python3 "$(dirname "$0")/a11y_check.py" check "$work/pictures"
