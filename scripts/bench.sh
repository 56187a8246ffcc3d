#!/usr/bin/env bash
# Builds and runs every benchmark; each prints "name value unit" lines.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build-bench -G Ninja -DCMAKE_BUILD_TYPE=Release -DPYLARIX_TESTS=OFF >/dev/null
cmake --build build-bench
for b in build-bench/bin/bench_*; do
    [ -x "$b" ] || continue
    "$b"
done
