#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Starts the viewer on a virtual display, waits for its main window, takes a screenshot and
# checks that the window is there and not blank.
#   tools/window-shot.sh VIEWER PLAN OUTPUT.png [EXPECTED-TITLE]
set -euo pipefail
viewer="$1"; plan="$2"; out="$3"; title="${4:-Nerin Plan Viewer}"

if ! command -v xvfb-run >/dev/null || ! command -v import >/dev/null; then
  echo "window-shot: xvfb-run and ImageMagick's import are needed" >&2
  exit 1
fi

inner=$(mktemp)
trap 'rm -f "$inner"' EXIT
cat > "$inner" <<'INNER'
#!/usr/bin/env bash
set -u
viewer="$1"; plan="$2"; out="$3"; title="$4"
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$(mktemp -d)}"
"$viewer" "$plan" &
pid=$!
found=""
for _ in $(seq 1 100); do
  if xwininfo -root -tree 2>/dev/null | grep -F -- "$title" >/dev/null; then found=1; break; fi
  sleep 0.1
done
sleep 1
import -window root "$out"
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null
if [ -z "$found" ]; then
  echo "window-shot: no window titled \"$title\" appeared" >&2
  exit 1
fi
colours=$(convert "$out" -format %k info:)
if [ "$colours" -lt 16 ]; then
  echo "window-shot: the screenshot is blank ($colours colours)" >&2
  exit 1
fi
echo "window-shot: window \"$title\" found, $colours colours in $out"
INNER
chmod +x "$inner"
xvfb-run -a -s "-screen 0 1600x1000x24" "$inner" "$viewer" "$plan" "$out" "$title"
