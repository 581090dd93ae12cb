#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The keypad + and - keys zoom the Gantt chart, and the keypad Enter finds from the search field,
# under a real X server with a window manager, the key presses coming from the keyboard (XTEST)
# and not from the toolkit's test helpers.
#   keypad_zoom_x11.sh VIEWER PLAN [SHOT-DIR]
# Exits 77 (skipped) when the X tools are missing, unless CI=true, where that is a failure.
set -euo pipefail
viewer="$1"; plan="$2"; shots="${3:-$(mktemp -d)}"

support="$(cd "$(dirname "$0")" && pwd)/x11_support.sh"
source "$support"
x11_require keypad-zoom xvfb-run xdotool openbox import compare convert xprop
mkdir -p "$shots"

inner=$(mktemp)
trap 'rm -f "$inner"' EXIT
cat > "$inner" <<'INNER'
#!/usr/bin/env bash
set -u
viewer="$1"; plan="$2"; shots="$3"
source "$4"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done; }
trap cleanup EXIT
fail() { echo "keypad-zoom: $*" >&2; exit 1; }

x11_start_window_manager
"$viewer" "$plan" &
pids=($! "${pids[@]}")
window=$(x11_wait_for_window "Nerin Plan Viewer") || fail "the viewer's window did not appear"

xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
# The pointer away from the chart, so that no hover summary comes up between the shots.
xdotool mousemove 0 0
sleep 1.5

# Pixels that differ between two shots of the window.
differing() { compare -metric AE "$1" "$2" null: 2>&1 | cut -d' ' -f1 || true; }
shot() { import -window "$window" "$shots/$1.png" || fail "no screenshot of the window"; }

shot before
sleep 0.5
shot steady
[ "$(differing "$shots/before.png" "$shots/steady.png")" = "0" ] || fail "the window changes by itself"

xdotool key --clearmodifiers KP_Add
sleep 0.8
shot zoomed-in
[ "$(differing "$shots/steady.png" "$shots/zoomed-in.png")" != "0" ] || fail "keypad + left the chart as it was"

xdotool key --clearmodifiers KP_Subtract
sleep 0.8
shot zoomed-out
[ "$(differing "$shots/zoomed-in.png" "$shots/zoomed-out.png")" != "0" ] || fail "keypad - left the chart as it was"
# Keypad Enter in the search field finds, as Enter does: the match is highlighted.
xdotool mousemove --window "$window" 240 19 click 1
sleep 0.3
xdotool type "bathymetric"
sleep 0.5
shot typed
xdotool key --clearmodifiers KP_Enter
sleep 0.8
shot found
# Below the toolbar only, where no text cursor blinks.
for name in typed found; do convert "$shots/$name.png" -crop +0+60 +repage "$shots/$name-chart.png"; done
[ "$(differing "$shots/typed-chart.png" "$shots/found-chart.png")" != "0" ] ||
  fail "keypad Enter in the search field found nothing"
xdotool mousemove 0 0
echo "keypad-zoom: keypad + and - zoomed the chart, keypad Enter found (shots in $shots)"
INNER
chmod +x "$inner"
xvfb-run -a -s "-screen 0 1280x800x24" "$inner" "$viewer" "$plan" "$shots" "$support"
