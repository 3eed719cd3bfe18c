#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the editor need, when
# they are missing. Runs apt-get only as root; otherwise it names what is missing.
#
#   deps.sh build   what building everything and running the editor need
#   deps.sh         that and what the tests and the Debian package need
set -euo pipefail

build_packages=(
  build-essential cmake pkg-config
  qt6-base-dev qt6-image-formats-plugins qt6-qpa-plugins zlib1g-dev libxcb1-dev libxcb-xfixes0-dev
  qt6-base-private-dev   # Qt's platform interface: the wl_surface of a picker, marked as a dialog for mutter
  libgtest-dev libgmock-dev
  libjpeg62-turbo-dev    # the editor's JPEG reader, and the tests' peer decoder
  fonts-liberation
  qt6-wayland libwayland-dev wayland-protocols
  clang-format
)
test_packages=(
  libjpeg-turbo-progs    # cjpeg and djpeg for the benchmarks
  xvfb xauth xclip
  sway wtype wl-clipboard
  kwin-wayland mutter dbus-daemon libglib2.0-bin
  xfwm4 openbox kwin-x11 xwayland grim x11-apps x11-utils imagemagick   # the desktops and screenshots of the on-screen tests
  desktop-file-utils appstream
  at-spi2-core python3-pyatspi   # what a screen reader sees (tests/accessibility)
  debhelper devscripts lintian   # the Debian package (scripts/package.sh), hardening-check
)
packages=("${build_packages[@]}")
if [[ "${1:-}" != build ]]; then packages+=("${test_packages[@]}"); fi
if [[ "${KORVEL_FUZZ_DEPS:-0}" == 1 ]]; then packages+=(clang); fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]} == 0)); then
  exit 0
fi
if [[ $(id -u) -ne 0 ]]; then
  echo "Missing Debian packages: ${missing[*]}" >&2
  echo "Install them with: sudo apt-get install ${missing[*]}" >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# Package lists fetched within the hour (by a first call for the build's
# packages) are used as they are.
if [[ -z $(find /var/lib/apt/lists -maxdepth 1 -name '*_Packages*' -mmin -60 -print -quit 2>/dev/null) ]]; then
  apt-get update -qq
fi
apt-get install -y -qq --no-install-recommends "${missing[@]}"
