# SPDX-License-Identifier: MIT
# What the tests under a real X server share; sourced by them, not run.

# Exits 77 (skipped) when one of the tools is missing, or 1 on a CI machine (CI=true).
#   x11_require TEST-NAME TOOL...
x11_require() {
  local name="$1" missing="" tool
  shift
  for tool in "$@"; do
    command -v "$tool" >/dev/null || missing="$missing $tool"
  done
  [ -z "$missing" ] && return 0
  if [ "${CI:-}" = "true" ]; then
    echo "$name: missing on this CI machine:$missing" >&2
    exit 1
  fi
  echo "$name: skipped, missing:$missing"
  exit 77
}

# Starts openbox, its process id added to the array `pids`, and waits until it manages the screen.
x11_start_window_manager() {
  openbox >/dev/null 2>&1 &
  pids+=($!)
  for _ in $(seq 1 50); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && return 0
    sleep 0.1
  done
}

# Prints the id of the first visible window whose title holds TITLE, once there is one; fails
# after 15 seconds without.
x11_wait_for_window() {
  local window=""
  for _ in $(seq 1 150); do
    window=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | head -n 1 || true)
    if [ -n "$window" ]; then
      echo "$window"
      return 0
    fi
    sleep 0.1
  done
  return 1
}
