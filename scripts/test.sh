#!/usr/bin/env bash
# Builds everything and runs every test headless: the layout of the sources,
# the full build (warnings are errors) under ctest, the X clipboard tests under
# a private Xvfb, the Wayland tests under a headless sway, the permission tests
# as an ordinary user, then every test again under AddressSanitizer and UBSan.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
bash scripts/check-format.sh

jobs=$(nproc 2>/dev/null || echo 2)
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DKORVEL_WERROR=ON >/dev/null
cmake --build build -j"$jobs"
ctest --test-dir build --output-on-failure -j"$jobs"

# The X clipboard tests (exchange with xclip, the keeper process) skip without
# an X display. They run once more under a private Xvfb with no window manager,
# one at a time, with a runtime folder of their own so that no editor running
# elsewhere holds the single-instance lock. Both timeouts keep a stuck X server
# or clipboard owner from hanging the script.
if command -v xvfb-run >/dev/null && command -v xauth >/dev/null && command -v xclip >/dev/null; then
  runtime=$(mktemp -d)
  status=0
  XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb timeout -k 10 300 \
    xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" \
    timeout -k 5 240 ctest --test-dir build --output-on-failure -j1 -L x11 --no-tests=error --timeout 60 \
    </dev/null || status=$?
  rm -rf "$runtime"
  if ((status != 0)); then exit "$status"; fi
else
  echo "note: xvfb-run, xauth or xclip is missing; the X clipboard tests stay skipped"
fi

# The Wayland tests (ctest label wayland) skip without a compositor. They run
# once more under a headless sway of their own (wlroots' headless backend and
# software renderer: no GPU, no display), at scale 1 and again at scale 2. As
# root, sway runs as an ordinary user; the tests reach its socket by path.
# Timeouts keep a stuck compositor from hanging the script.
if command -v sway >/dev/null && command -v swaymsg >/dev/null; then
  wl=$(mktemp -d)
  chmod 755 "$wl"
  mkdir -m 700 "$wl/sway" "$wl/client"
  printf '%s\n' 'output HEADLESS-1 resolution 1280x1024 scale 1' \
    'for_window [title="Korvel Annotarix"] floating enable' >"$wl/sway.conf"
  chmod 644 "$wl/sway.conf"
  as_sway=()
  if [[ $(id -u) -eq 0 ]] && command -v setpriv >/dev/null; then
    chown 65534:65534 "$wl/sway"
    as_sway=(setpriv --reuid=65534 --regid=65534 --clear-groups)
  fi
  "${as_sway[@]}" env -i HOME="$wl" PATH="$PATH" XDG_RUNTIME_DIR="$wl/sway" WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman timeout -k 5 600 sway -c "$wl/sway.conf" \
    >"$wl/sway.log" 2>&1 </dev/null &
  sway_pid=$!
  for _ in $(seq 100); do
    if compgen -G "$wl/sway/wayland-*[0-9]" >/dev/null && compgen -G "$wl/sway/sway-ipc.*" >/dev/null; then break; fi
    sleep 0.1
  done
  socket=$(compgen -G "$wl/sway/wayland-*[0-9]" | head -1 || true)
  status=0
  if [[ -n $socket ]]; then
    export SWAYSOCK
    SWAYSOCK=$(compgen -G "$wl/sway/sway-ipc.*" | head -1)
    echo "Wayland tests under $(sway --version)"
    for scale in 1 2; do
      timeout 10 swaymsg output HEADLESS-1 scale "$scale" >/dev/null || status=$?
      WAYLAND_DISPLAY="$socket" XDG_RUNTIME_DIR="$wl/client" QT_QPA_PLATFORM=wayland timeout -k 5 240 \
        ctest --test-dir build --output-on-failure -j1 -L wayland --no-tests=error --timeout 60 \
        </dev/null || status=$?
    done
  else
    echo "note: sway did not start; the Wayland tests stay skipped"
    tail -5 "$wl/sway.log"
  fi
  kill "$sway_pid" 2>/dev/null || true
  wait "$sway_pid" 2>/dev/null || true
  rm -rf "$wl"
  unset SWAYSOCK
  if ((status != 0)); then exit "$status"; fi
else
  echo "note: sway is missing; the Wayland tests stay skipped"
fi

# Tests of unwritable files and folders skip as root, since root may write
# anywhere; when run as root they are run again as an ordinary user.
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

# Every test program again under AddressSanitizer and UBSan (the widget tests
# offscreen; the X11 and Wayland passes and the install checks stay with the
# build above).
cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DKORVEL_SANITIZE=ON -DKORVEL_PURE_ONLY=OFF -DKORVEL_WERROR=ON \
  >/dev/null
cmake --build build-asan -j"$jobs" --target korvel_all_tests korvel-annotarix
ASAN_OPTIONS=detect_leaks=1 LSAN_OPTIONS=suppressions="$PWD/tests/lsan.supp" QT_QPA_PLATFORM=offscreen \
  ctest --test-dir build-asan --output-on-failure -j"$jobs" -LE 'x11|wayland' -E '^desktop\.' --timeout 300
