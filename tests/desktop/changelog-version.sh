#!/bin/sh
# The newest entry of debian/changelog names the release the build carries:
# the CMake project's version and the release date of the AppStream file and
# the manual page.
#   changelog-version.sh CHANGELOG VERSION DATE
set -eu
changelog=$1
version=$2
date=$3
if ! command -v dpkg-parsechangelog >/dev/null 2>&1; then
  echo "dpkg-parsechangelog is not installed (Debian: dpkg-dev); skipped"
  exit 77
fi
fail=0
# A Debian revision (-1), if the package ever gets one, is not the project's.
entry_version=$(dpkg-parsechangelog -l "$changelog" -S Version)
entry_version=${entry_version%-*}
entry_date=$(date -u -d "$(dpkg-parsechangelog -l "$changelog" -S Date)" +%Y-%m-%d)
if [ "$entry_version" != "$version" ]; then
  echo "debian/changelog is at $entry_version, the CMake project at $version"
  fail=1
fi
if [ "$entry_date" != "$date" ]; then
  echo "debian/changelog dates $entry_version $entry_date, the build's release date is $date"
  fail=1
fi
exit $fail
