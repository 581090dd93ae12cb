#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Closing the window while a plan downloads from a server that has stopped sending: the program
# ends at once, with status 0 and nothing on its error output (a sanitizer's report included),
# and its settings written. Under a real X server with a window manager; the window is closed
# as a user closes it (Alt+F4 through the window manager).
#   quit_during_load_x11.sh VIEWER
# Exits 77 (skipped) when the X tools are missing, unless CI=true, where that is a failure.
set -euo pipefail
viewer="$1"

support="$(cd "$(dirname "$0")" && pwd)/x11_support.sh"
source "$support"
x11_require quit-during-load xvfb-run xdotool openbox xprop python3

inner=$(mktemp)
trap 'rm -f "$inner"' EXIT
cat > "$inner" <<'INNER'
#!/usr/bin/env bash
set -u
viewer="$1"
source "$2"
work=$(mktemp -d)
export XDG_RUNTIME_DIR="${XDG_RUNTIME_DIR:-$work}"
export XDG_CONFIG_HOME="$work/config"
pids=()
cleanup() { for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; done; rm -rf "$work"; }
trap cleanup EXIT
fail() { echo "quit-during-load: $*" >&2; [ -s "$work/viewer.err" ] && cat "$work/viewer.err" >&2; exit 1; }

# A server on 127.0.0.1 that sends the start of a large plan and then nothing for a minute.
cat > "$work/server.py" <<'PY'
import socket, sys, time
server = socket.socket()
server.bind(("127.0.0.1", 0))
server.listen(4)
print(server.getsockname()[1], flush=True)
while True:
    connection, _ = server.accept()
    connection.recv(65536)
    connection.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/xml\r\nContent-Length: 50000000\r\n\r\n")
    connection.sendall(b"<?xml version=\"1.0\"?><Project>" + b" " * 200000)
    time.sleep(60)
PY
python3 "$work/server.py" > "$work/port" &
pids+=($!)
for _ in $(seq 1 50); do [ -s "$work/port" ] && break; sleep 0.1; done
port=$(head -n 1 "$work/port")
[ -n "$port" ] || fail "the test server did not start"

x11_start_window_manager
"$viewer" "http://127.0.0.1:$port/large-plan.xml" 2> "$work/viewer.err" &
viewer_pid=$!
pids=($viewer_pid "${pids[@]}")
window=$(x11_wait_for_window "Nerin Plan Viewer") || fail "the viewer's window did not appear"
# Well into the download: the server has sent its first bytes and then stopped.
sleep 1.5
kill -0 "$viewer_pid" 2>/dev/null || fail "the viewer ended before it was closed"

# Alt+F4 as a user presses it; pressed again should the window manager not have taken it.
closed=""
for _ in 1 2 3; do
  xdotool windowactivate --sync "$window" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers alt+F4
  for _ in $(seq 1 50); do
    if ! xdotool search --onlyvisible --name "Nerin Plan Viewer" 2>/dev/null | grep -qx "$window"; then
      closed=yes
      break 2
    fi
    sleep 0.02
  done
done
[ -n "$closed" ] || fail "Alt+F4 did not close the window"
start=$(date +%s%N)
ended=""
for _ in $(seq 1 100); do
  if ! kill -0 "$viewer_pid" 2>/dev/null; then ended=yes; break; fi
  sleep 0.01
done
[ -n "$ended" ] || fail "the viewer still runs a second after its window closed"
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
wait "$viewer_pid"
status=$?
pids=("${pids[@]:1}")
[ "$status" -eq 0 ] || fail "the viewer ended with status $status"
[ ! -s "$work/viewer.err" ] || fail "the viewer wrote to its error output"
[ -s "$XDG_CONFIG_HOME/nerin/nerin-viewer.conf" ] || fail "the settings were not written"
grep -q "large-plan.xml" "$XDG_CONFIG_HOME/nerin/nerin-viewer.conf" &&
  fail "a plan that never opened is among the recent plans"
echo "quit-during-load: the viewer ended ${elapsed_ms} ms after its window closed, status 0, settings written"
INNER
chmod +x "$inner"
xvfb-run -a -s "-screen 0 1280x800x24" "$inner" "$viewer" "$support"
