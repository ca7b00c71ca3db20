#!/usr/bin/env bash
# Sets up, builds and starts Gavrix.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
exec "${BUILD_DIR:-build}/gavrix" "$@"
