#!/usr/bin/env bash
# Runs a command inside a private X session: Xvfb, the openbox window manager
# and the trayer notification area. Missing programs fail the run; nothing is skipped.
set -euo pipefail
for tool in Xvfb openbox trayer xdotool; do
  command -v "$tool" > /dev/null || { echo "xsession: $tool is missing (bash scripts/setup.sh installs it)" >&2; exit 1; }
done
work=$(mktemp -d)
pids=()
cleanup() {
  for pid in "${pids[@]}"; do kill "$pid" 2> /dev/null || true; done
  wait 2> /dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
# Xvfb picks a free display number and writes it to the pipe.
exec 3> "$work/display"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp > "$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.05; done
[ -s "$work/display" ] || { cat "$work/xvfb.log" >&2; echo "xsession: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$work/display")"
unset WAYLAND_DISPLAY
export QT_QPA_PLATFORM=xcb
openbox --sm-disable > "$work/openbox.log" 2>&1 &
pids+=($!)
trayer --edge bottom --align right --widthtype pixel --width 64 --heighttype pixel --height 24 > "$work/trayer.log" 2>&1 &
pids+=($!)
# The window manager owns its selection once it runs.
for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2> /dev/null | grep -q 'window id' && break; sleep 0.05; done
sleep 0.3
"$@"
