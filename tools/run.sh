#!/usr/bin/env bash
# Installs what is missing, builds, and opens the viewer on the demo plan (or on the plan or
# web address given as the argument). On a machine without a display it says so, and writes
# a screenshot of the window drawn on a virtual display, with the load report, instead.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default -- -j"$(nproc)"

plan="${1:-samples/demo-plan.xml}"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/bin/nerin-viewer "$plan"
fi

echo "No display found (DISPLAY and WAYLAND_DISPLAY are not set): the window cannot be shown here."
echo
echo "Load report of $plan:"
build/bin/nerin-cli report "$plan" || true
echo
shot="$PWD/nerin-viewer-screenshot.png"
if tools/window-shot.sh build/bin/nerin-viewer "$plan" "$shot"; then
  echo "The window, drawn on a virtual display, is in $shot"
fi
echo "To use the window on this machine, run it on a virtual display, for example:"
echo "  xvfb-run -a -s '-screen 0 1600x1000x24' build/bin/nerin-viewer $plan"
