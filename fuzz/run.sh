#!/usr/bin/env bash
# Builds the dispatcher fuzz target with clang and runs it for SECONDS seconds
# from a generated seed corpus; exits non-zero when the fuzzer finds a crash.
set -euo pipefail

if [[ $# -ne 1 || ! $1 =~ ^[0-9]+$ ]]; then
  echo "usage: $0 SECONDS" >&2
  exit 2
fi
seconds=$1
root=$(cd "$(dirname "$0")/.." && pwd)
build=${GAVRIX_FUZZ_BUILD:-$root/build-fuzz}
jobs=${GAVRIX_FUZZ_JOBS:-2}

CXX=${GAVRIX_FUZZ_CXX:-clang++} cmake -S "$root" -B "$build" -G Ninja -DGAVRIX_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
ninja -C "$build" -j "$jobs" gavrix_dispatch_fuzz gavrix_fuzz_seeds

seeds=$build/fuzz/seeds
corpus=$build/fuzz/corpus
artifacts=$build/fuzz/artifacts
rm -rf "$seeds"
mkdir -p "$seeds" "$corpus" "$artifacts"
"$build/fuzz/gavrix_fuzz_seeds" "$seeds"

# New inputs go to the first folder; crashes and leaks are written to artifacts/.
exec "$build/fuzz/gavrix_dispatch_fuzz" "$corpus" "$seeds" \
  -max_total_time="$seconds" -max_len=8192 -timeout=10 -rss_limit_mb=1024 -malloc_limit_mb=256 \
  -print_final_stats=1 -artifact_prefix="$artifacts/"
