#!/bin/sh
# Unpacks the Debian package (scripts/package.sh) into a scratch root and
# checks it against what `cmake --install` puts down: the same files under
# /usr with the same names and contents (the binary aside, which the package
# builds with the distribution's flags and strips; the manual page
# compressed), plus the package's documents. A file more or less on either
# side fails. Skips (exit 77) when no package of this version was built.
#   package-layout.sh BUILD_DIR SCRATCH DIST_DIR VERSION APPSTREAM_ID
set -eu
build=$1
scratch=$2
dist=$3
version=$4
id=$5
deb=
for file in "$dist"/korvel-annotarix_"$version"_*.deb; do
  if [ -f "$file" ]; then deb=$file; fi
done
if [ -z "$deb" ]; then
  echo "no package of $version in $dist (bash scripts/package.sh builds it); skipped"
  exit 77
fi
rm -rf "$scratch"
mkdir -p "$scratch"
dpkg-deb -x "$deb" "$scratch/package"
cmake --install "$build" --prefix "$scratch/install" >/dev/null

# One row per file: where `cmake --install` puts it (below the prefix), where
# the package puts it (below /), "-" where one of them has none.
table() {
  cat <<ROWS
bin/korvel-annotarix usr/bin/korvel-annotarix
share/applications/$id.desktop usr/share/applications/$id.desktop
share/metainfo/$id.metainfo.xml usr/share/metainfo/$id.metainfo.xml
share/icons/hicolor/scalable/apps/$id.svg usr/share/icons/hicolor/scalable/apps/$id.svg
share/man/man1/korvel-annotarix.1 usr/share/man/man1/korvel-annotarix.1.gz
- usr/share/doc/korvel-annotarix/copyright
- usr/share/doc/korvel-annotarix/changelog.gz
ROWS
  for size in 16 22 24 32 48 64 128 256; do
    echo "share/icons/hicolor/${size}x$size/apps/$id.png usr/share/icons/hicolor/${size}x$size/apps/$id.png"
  done
}
files_below() {
  (cd "$1" && find . -type f -o -type l) | sed 's|^\./||' | sort
}

fail=0
table | awk '$1 != "-" { print $1 }' | sort >"$scratch/want-install"
table | awk '$2 != "-" { print $2 }' | sort >"$scratch/want-package"
files_below "$scratch/install" >"$scratch/got-install"
files_below "$scratch/package" >"$scratch/got-package"
for side in install package; do
  if ! diff -u "$scratch/want-$side" "$scratch/got-$side"; then
    echo "the $side holds other files than the table (- wanted, + found)"
    fail=1
  fi
done

# The same contents wherever both have the file.
table | while read -r installed packaged; do
  if [ "$installed" = - ] || [ "$packaged" = - ] || [ "$installed" = bin/korvel-annotarix ]; then continue; fi
  if [ ! -f "$scratch/install/$installed" ] || [ ! -f "$scratch/package/$packaged" ]; then continue; fi
  case $packaged in
  *.gz) gzip -dc "$scratch/package/$packaged" >"$scratch/unpacked" ;;
  *) cp "$scratch/package/$packaged" "$scratch/unpacked" ;;
  esac
  cmp -s "$scratch/install/$installed" "$scratch/unpacked" || echo "differs: $packaged"
done >"$scratch/differ"
if [ -s "$scratch/differ" ]; then
  cat "$scratch/differ"
  fail=1
fi
rm -rf "$scratch"
exit $fail
