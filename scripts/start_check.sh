#!/usr/bin/env bash
# Starts the real program offscreen with broadcast off from a folder of its own,
# checks that it runs, ends it with SIGTERM and checks the exit and the saved settings.
set -euo pipefail
program=${1:?usage: start_check.sh PATH-TO-gavrix}
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cp "$program" "$folder/gavrix"
printf '[Settings]\nBroadcast=0\nWidth=700\n' > "$folder/gavrix.ini"
QT_QPA_PLATFORM=offscreen "$folder/gavrix" &
pid=$!
sleep 3
if ! kill -0 "$pid" 2> /dev/null; then
  wait "$pid" || true
  echo "start check: the program ended by itself" >&2
  exit 1
fi
kill -TERM "$pid"
for _ in $(seq 100); do kill -0 "$pid" 2> /dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2> /dev/null; then
  kill -KILL "$pid"
  echo "start check: the program did not end on SIGTERM" >&2
  exit 1
fi
rc=0
wait "$pid" || rc=$?
[ "$rc" -eq 0 ] || { echo "start check: exit code $rc" >&2; exit 1; }
for key in Width=700 Broadcast=0 Delay= TransLevel=; do
  grep -q "^$key" "$folder/gavrix.ini" || { echo "start check: $key not saved" >&2; cat "$folder/gavrix.ini" >&2; exit 1; }
done
echo "start check: started, ended on SIGTERM, settings saved"
