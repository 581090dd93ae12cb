#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs what is missing, builds, and opens the viewer on the demo plan (or on the plan or
# web address given as the argument). On a machine without a display it says so, and instead
# prints the load report, writes the plan's whole Gantt chart as a PNG image (nerin-cli png)
# and a screenshot of the window drawn on a virtual display.
# Only what it runs is installed and built, the viewer and nerin-cli, so the first run is as
# quick as it can be; tools/test.sh builds the rest in the same build folder.
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh --run
cmake --preset default >/dev/null
cmake --build --preset default --target nerin-viewer nerin-cli -- -j"$(nproc)"

plan="${1:-samples/demo-plan.xml}"

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec build/bin/nerin-viewer "$plan"
fi

echo "No display found (DISPLAY and WAYLAND_DISPLAY are not set): the window cannot be shown here."
echo
echo "Load report of $plan:"
build/bin/nerin-cli report "$plan" || true
echo
# The chart is named after the plan: samples/demo-plan.xml gives demo-plan-chart.png.
name="$(basename "${plan%%[?#]*}")"
name="${name%.[xX][mM][lL]}"
chart="$PWD/${name:-plan}-chart.png"
if build/bin/nerin-cli png "$plan" -o "$chart"; then
  echo "The plan's Gantt chart is in $chart"
fi
shot="$PWD/nerin-viewer-screenshot.png"
if tools/window-shot.sh build/bin/nerin-viewer "$plan" "$shot"; then
  echo "The window, drawn on a virtual display, is in $shot"
fi
echo "To use the window on this machine, run it on a virtual display, for example:"
echo "  xvfb-run -a -s '-screen 0 1600x1000x24' build/bin/nerin-viewer $plan"
