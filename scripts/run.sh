#!/usr/bin/env bash
# Sets up the machine, builds Pylarix and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target pylarix
exec build/bin/pylarix
