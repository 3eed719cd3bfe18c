#!/usr/bin/env bash
# Builds the Debian package dist/korvel-annotarix_<version>_<arch>.deb and its
# debug symbols (-dbgsym) with debhelper (debian/), from a copy of the sources
# in build-deb/, so the tree itself stays clean. Then lintian checks the
# result (any E: or W: line fails) and hardening-check the packaged binary.
# As root it installs the missing tools and build dependencies with apt-get;
# otherwise it names them.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
export DEBIAN_FRONTEND=noninteractive

as_root() { [[ $(id -u) -eq 0 ]]; }

# The packaging tools: dpkg-buildpackage, dh, lintian, hardening-check.
tools=(dpkg-dev debhelper lintian devscripts)
missing=()
for p in "${tools[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]} > 0)); then
  if ! as_root; then
    echo "Missing Debian packages: ${missing[*]}" >&2
    echo "Install them with: sudo apt-get install ${missing[*]}" >&2
    exit 1
  fi
  timeout 600 apt-get update -qq
  timeout 1200 apt-get install -y -qq --no-install-recommends "${missing[@]}" </dev/null
fi
# The build dependencies, as debian/control names them.
if ! unmet=$(dpkg-checkbuilddeps 2>&1); then
  if ! as_root; then
    echo "$unmet" >&2
    exit 1
  fi
  timeout 600 apt-get update -qq
  timeout 1200 apt-get build-dep -y -qq --no-install-recommends "$root" </dev/null
fi

package=$(dpkg-parsechangelog -S Source)
version=$(dpkg-parsechangelog -S Version)
arch=$(dpkg-architecture -qDEB_HOST_ARCH)

# A fresh copy of the sources: the files git knows, with local changes and
# new files not ignored; outside a git checkout, the tree without build output.
work=$root/build-deb
src=$work/$package-$version
rm -rf "$work"
mkdir -p "$src"
if git -C "$root" rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  git -C "$root" ls-files -z --cached --others --exclude-standard |
    tar -C "$root" --null --ignore-failed-read -T - -cf - | tar -C "$src" -xf -
else
  tar -C "$root" --exclude=./.git --exclude=./build --exclude='./build-*' --exclude=./dist -cf - . |
    tar -C "$src" -xf -
fi

# The packages land beside the copy, in build-deb/.
jobs=$(nproc 2>/dev/null || echo 2)
(cd "$src" && DEB_BUILD_OPTIONS="parallel=$jobs ${DEB_BUILD_OPTIONS:-}" timeout -k 10 2400 \
  dpkg-buildpackage -us -uc -b </dev/null)

changes=$work/${package}_${version}_${arch}.changes
deb=${package}_${version}_${arch}.deb
echo "lintian:"
lintian_status=0
timeout -k 10 900 lintian --fail-on error,warning "$changes" </dev/null || lintian_status=$?

# Every protection on the binary as the package installs it. The linker marks
# a program as built for control-flow protection (IBT, SHSTK) only when every
# object in it is; Debian 12's C library start files (Scrt1.o) are not, so no
# program built there carries the mark, whatever its flags (debian/rules
# compiles with -fcf-protection). Where the start files carry it, so must the
# program.
mkdir "$work/root"
dpkg-deb -x "$work/$deb" "$work/root"
hardening_options=()
if ! readelf -n "$(gcc -print-file-name=Scrt1.o)" 2>/dev/null | grep -q 'IBT, SHSTK'; then
  hardening_options+=(--nocfprotection)
fi
echo "hardening-check:"
hardening_status=0
timeout 120 hardening-check "${hardening_options[@]}" "$work/root/usr/bin/$package" || hardening_status=$?

rm -rf dist
mkdir dist
mv "$work/$deb" dist/
mv "$work/${package}-dbgsym_${version}_${arch}."*deb dist/ 2>/dev/null || true
ls -l dist
if ((lintian_status != 0)); then
  echo "lintian found errors or warnings" >&2
  exit 1
fi
if ((hardening_status != 0)); then
  echo "hardening-check found a protection missing" >&2
  exit 1
fi
