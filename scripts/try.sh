#!/usr/bin/env bash
# Sets up and builds Gavrix, starts ten simulated game servers on 127.0.0.1-10
# (gavrix-fakelan) and the program with settings that scan exactly those:
# broadcast off, one range 127.0.0.1 - 127.0.0.10. Nothing leaves this machine.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
build=${BUILD_DIR:-build}
try=$(mktemp -d)
lan_pid=
cleanup() {
  [ -n "$lan_pid" ] && kill "$lan_pid" 2> /dev/null || true
  rm -rf "$try"
}
trap cleanup EXIT
# A copy of the program in a folder of its own keeps this try's gavrix.ini beside it.
cp "$build/gavrix" "$try/gavrix"
cat > "$try/gavrix.ini" << 'INI'
[Settings]
Broadcast=0
CSPort=27015
Delay=0
[Ranges]
Ranges=1
Checked=1
RangeFrom0=127.0.0.1
RangeTo0=127.0.0.10
INI
"$build/tools/gavrix-fakelan/gavrix-fakelan" --count 10 --port 27015 &
lan_pid=$!
"$try/gavrix"
