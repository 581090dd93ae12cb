#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes the README's screenshots of the viewer on the demo plan: the Gantt chart, the Tasks
# list, a task's details window and the Help window, drawn on a virtual display at a window
# size of 1280 x 800, then shrunk to at most 1000 pixels wide with a 256-colour palette.
#   tools/make-screenshots.sh [BUILD-FOLDER]    # default build/; writes docs/screenshots/*.png
# Needs xvfb-run and ImageMagick (tools/install-deps.sh installs both). The today line is
# the local date of the day it runs.
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
out="$root/docs/screenshots"
plan="$root/samples/demo-plan.xml"
# The chart shows procurement and the cranes, on the critical path: the two finished phases
# and the two between are folded.
fold=(--fold "Project initiation" --fold "Design and engineering" --fold "Marine and civil works"
      --fold "Terminal building and gate")
# Find in the Tasks list.
find=(--find "crane")
# A critical task with a note, a slip against its baseline and links both ways.
details=(--details "Sea transport from Shanghai")

for tool in xvfb-run convert cmake; do
  if ! command -v "$tool" >/dev/null; then
    echo "make-screenshots: $tool is needed (run tools/install-deps.sh)" >&2
    exit 1
  fi
done

if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
fi
cmake --build "$build" --target nerin-screenshots

raw=$(mktemp -d)
trap 'rm -rf "$raw"' EXIT
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$raw}"
QT_QPA_PLATFORM=xcb xvfb-run -a -s '-screen 0 1600x1000x24' \
  "$build/bin/nerin-screenshots" "$plan" "$raw" "${fold[@]}" "${find[@]}" "${details[@]}"

mkdir -p "$out"
for image in "$raw"/*.png; do
  name=$(basename "$image")
  # Lanczos keeps small text readable; 256 colours without dithering keep flat areas flat.
  convert "$image" -strip -filter Lanczos -resize '1000x>' +dither -colors 256 \
    -define png:compression-level=9 "PNG8:$out/$name"
  echo "make-screenshots: $out/$name, $(stat -c %s "$out/$name") bytes"
done
