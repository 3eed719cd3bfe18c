#!/usr/bin/env bash
# Builds everything and runs every test headless: the layout of the sources,
# the full build (warnings are errors) and the Debian package, every test under
# ctest, the X clipboard tests under a private Xvfb, the Wayland tests under
# headless sway, KWin and mutter, the permission tests as an ordinary user,
# then every test again under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
# Each step says when it starts, in seconds since the start, so that the log
# shows where the time goes.
step() { echo "== $* (${SECONDS} s)"; }
step "packages for the build"
bash scripts/deps.sh build
# The packages only the tests and the Debian package need (X servers,
# compositors, desktops, lintian: most of what a new machine lacks) install
# while the sources build; the tests wait for them. A failed build waits for
# the install to end rather than break it off halfway. Not as root, where
# nothing is installed, a missing package is named before the build.
step "packages for the tests, beside the build"
deps_log=$(mktemp)
builds=
deps=
cleanup() {
  if [[ -n $builds ]]; then kill -- "-$builds" 2>/dev/null || true; fi
  if [[ -n $deps ]]; then wait "$deps" 2>/dev/null || true; fi
}
trap cleanup EXIT
# collect <variable> <log> <message>: waits for the background job whose
# process id the variable holds (none when empty), empties the variable so
# that cleanup leaves the job alone, prints the job's output and stops the
# script with the message if the job failed.
collect() {
  local -n job=$1
  local status=0
  if [[ -n $job ]]; then wait "$job" || status=$?; fi
  job=
  cat "$2"
  rm -f "$2"
  if ((status != 0)); then
    echo "$3" >&2
    exit "$status"
  fi
}
if [[ $(id -u) -eq 0 ]]; then
  setsid bash scripts/deps.sh >"$deps_log" 2>&1 </dev/null &
  deps=$!
else
  bash scripts/deps.sh
fi
step "layout of the sources"
bash scripts/check-format.sh

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

# gold links a test program in a sixth of the default linker's time (0.4 s
# against 2.4 s), and each build here links some thirty programs. The Debian
# package keeps the distribution's linker.
linker=
if command -v ld.gold >/dev/null; then linker=-fuse-ld=gold; fi

step "build"
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DKORVEL_WERROR=ON -DCMAKE_EXE_LINKER_FLAGS="$linker" >/dev/null
cmake --build build -j"$jobs"
step "packages for the tests (their output)"
collect deps "$deps_log" "the packages for the tests did not install"
# The Debian package (the editor alone, with the distribution's flags; lintian
# and hardening-check inside) and the sanitizer build need only the processor,
# while most tests below wait on X servers, compositors and timers. So the two
# builds run beside those tests, at the lowest priority: they take only the
# processor time the tests leave, and the tests run as they would alone. Their
# output follows once they are done; a failed or stopped script ends them. The
# sanitizer build keeps line tables only (-g1): its reports still name file
# and line, and full debug information would make it a third slower.
step "Debian package and sanitizer build, beside the tests below"
builds_log=$(mktemp)
setsid bash -c 'set -e
  SECONDS=$2
  nice -n 19 bash scripts/package.sh
  echo "== sanitizer build (${SECONDS} s)"
  nice -n 19 cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 \
    -DKORVEL_SANITIZE=ON -DKORVEL_PURE_ONLY=OFF -DCMAKE_EXE_LINKER_FLAGS="$3" >/dev/null
  nice -n 19 cmake --build build-asan -j"$1" --target korvel_all_tests korvel-annotarix
  echo "== both built (${SECONDS} s)"' _ "$jobs" "$SECONDS" "$linker" \
  >"$builds_log" 2>&1 </dev/null &
builds=$!

step "tests offscreen"
# All but the package's files, which are checked once the package is built.
ctest --test-dir build --output-on-failure -j"$jobs" -E '^desktop\.PackageHoldsTheInstalledFiles$'

# The X clipboard tests (exchange with xclip, the keeper process) skip without
# an X display. They run once more under a private Xvfb with no window manager,
# one at a time, with a runtime folder of their own so that no editor running
# elsewhere holds the single-instance lock. Both timeouts keep a stuck X server
# or clipboard owner from hanging the script.
step "X11 tests"
if command -v xvfb-run >/dev/null && command -v xauth >/dev/null && command -v xclip >/dev/null; then
  runtime=$(mktemp -d)
  status=0
  XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb timeout -k 10 600 \
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    timeout -k 5 540 ctest --test-dir build --output-on-failure -j1 -L x11 --no-tests=error --timeout 120 \
    </dev/null || status=$?
  rm -rf "$runtime"
  if ((status != 0)); then exit "$status"; fi
else
  echo "note: xvfb-run, xauth or xclip is missing; the X clipboard tests stay skipped"
fi

# The saved notice in what the screen shows, under the X11 desktops users run
# (a bare X server, xfwm4, openbox, kwin_x11, mutter --x11 and GNOME through
# XWayland), each at scale 1 and 2 (scripts/x11-desktop-tests.sh; every step
# has a timeout).
step "on-screen tests under the X11 desktops"
timeout -k 10 600 bash scripts/x11-desktop-tests.sh build </dev/null || exit 1

# The Wayland tests (ctest label wayland) skip without a compositor. They run
# once more under headless sway, KWin and mutter of their own, at scale 1 and
# at scale 2 (scripts/wayland-tests.sh; every step has a timeout).
step "Wayland tests"
bash scripts/wayland-tests.sh build

# Tests of unwritable files and folders skip as root, since root may write
# anywhere; when run as root they are run again as an ordinary user.
step "permission tests as an ordinary user"
if [[ $(id -u) -eq 0 ]] && command -v setpriv >/dev/null; then
  filter='*Unwritable*:*WriteProtected*:*CannotBeEntered*'
  scratch=$(mktemp -d)
  chmod 777 "$scratch"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  for t in korvel_pure_settings_tests korvel_commands_save_tests korvel_dialogs_tests korvel_editor_tests; do
    bin="$PWD/build/$t"
    if ! "${as_user[@]}" test -x "$bin"; then
      echo "note: $t is not reachable for an ordinary user here; its permission tests stay skipped"
      continue
    fi
    (cd "$scratch" && "${as_user[@]}" env HOME="$scratch" TMPDIR="$scratch" XDG_RUNTIME_DIR="$scratch" \
      "$bin" --gtest_filter="$filter" --gtest_brief=1)
  done
  rm -rf "$scratch"
fi

step "Debian package and sanitizer build (their output)"
collect builds "$builds_log" "the Debian package or the sanitizer build failed"
# The package holds what `cmake --install` puts down.
ctest --test-dir build --output-on-failure -R '^desktop\.PackageHoldsTheInstalledFiles$' --no-tests=error

# Every test program again under AddressSanitizer and UBSan (the widget tests
# offscreen; the X11 and Wayland passes and the install checks stay with the
# build above, which also holds warnings to be errors: the sanitizers'
# instrumentation makes GCC's object-size warnings misfire).
step "clipboard races under the sanitizers"
# The clipboard races once more under AddressSanitizer, on a private X server:
# readers in flight while another program takes the clipboard (a freed offer
# read by an answer would show here even where it does not crash).
if command -v xvfb-run >/dev/null && command -v xauth >/dev/null && command -v xclip >/dev/null; then
  runtime=$(mktemp -d)
  status=0
  XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb ASAN_OPTIONS=detect_leaks=0 timeout -k 10 300 \
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    build-asan/korvel_xclipboard_tests --gtest_filter='OfferLifetime*' --gtest_brief=1 </dev/null || status=$?
  rm -rf "$runtime"
  if ((status != 0)); then exit "$status"; fi
fi

step "tests under the sanitizers"
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" QT_QPA_PLATFORM=offscreen \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE 'x11|wayland' -E '^desktop\.' --timeout 300
step "done"
