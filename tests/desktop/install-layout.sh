#!/bin/sh
# Installs the build tree into a scratch prefix and checks that everything a
# desktop looks for is where it looks: the binary, the desktop entry, the
# hicolor icons (SVG and each PNG at its own size), the AppStream file and the
# manual page, all but the binary and the manual page named after the id.
#   install-layout.sh BUILD_DIR PREFIX APPSTREAM_ID
set -eu
build=$1
prefix=$2
id=$3
rm -rf "$prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null

fail=0
need() {
  if [ ! -s "$1" ]; then
    echo "missing: $1"
    fail=1
  fi
}
# Width and height from a PNG's header (big-endian, bytes 16..23).
png_size() {
  od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }'
}

need "$prefix/bin/korvel-annotarix"
[ -x "$prefix/bin/korvel-annotarix" ] || { echo "not executable: bin/korvel-annotarix"; fail=1; }
need "$prefix/share/applications/$id.desktop"
need "$prefix/share/metainfo/$id.metainfo.xml"
need "$prefix/share/icons/hicolor/scalable/apps/$id.svg"
need "$prefix/share/man/man1/korvel-annotarix.1"
for size in 16 22 24 32 48 64 128 256; do
  png="$prefix/share/icons/hicolor/${size}x${size}/apps/$id.png"
  need "$png"
  if [ -s "$png" ] && [ "$(png_size "$png")" != "${size}x${size}" ]; then
    echo "wrong size: $png is $(png_size "$png")"
    fail=1
  fi
done
# The desktop entry names the icon and the binary that were installed.
grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop" || { echo "Icon key"; fail=1; }
grep -qx 'Exec=korvel-annotarix %f' "$prefix/share/applications/$id.desktop" || { echo "Exec key"; fail=1; }
grep -q "<id>$id</id>" "$prefix/share/metainfo/$id.metainfo.xml" || { echo "AppStream id"; fail=1; }
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
  "$prefix/share/metainfo/$id.metainfo.xml" || { echo "launchable"; fail=1; }
rm -rf "$prefix"
exit $fail
