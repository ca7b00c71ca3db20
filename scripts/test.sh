#!/usr/bin/env bash
# Sets up, builds and runs every test (widget tests run headless; the X tests start
# private X sessions of their own).
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
bash scripts/build.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir "${BUILD_DIR:-build}" --output-on-failure -j2 --timeout 300
