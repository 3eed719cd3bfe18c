# Shared by the scripts that run tests under desktops of their own
# (wayland-tests.sh, x11-desktop-tests.sh); sourced, not run. The sourcing
# script sets `scratch` to its scratch folder first.

# The processes started for the current desktop; cleanup ends them.
pids=()

cleanup() {
  for pid in "${pids[@]}"; do
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  pids=()
}

# Starts an Xvfb of 1920 x 1080 and sets display to its number. The number
# file is made anew, so the number of an Xvfb that ended is never read.
start_x() {
  local fd_file=$scratch/display
  rm -f "$fd_file"
  timeout -k 5 300 Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp 3>"$fd_file" >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 50); do
    display=$(cat "$fd_file" 2>/dev/null)
    if [[ -n $display ]]; then return 0; fi
    sleep 0.1
  done
  return 1
}
