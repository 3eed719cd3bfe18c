#!/bin/sh
# Runs a validator (its command line as arguments) on a file of the desktop
# integration. Skips (exit 77) only when the validator is not installed; any
# complaint it makes fails the test.
tool=$1
if ! command -v "$tool" >/dev/null 2>&1; then
  echo "$tool is not installed (Debian: desktop-file-utils, appstream); skipped"
  exit 77
fi
exec "$@"
