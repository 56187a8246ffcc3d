#!/usr/bin/env bash
# Sets up the machine, builds Pylarix and starts it.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target pylarix
if [[ -z "${DISPLAY:-}" && -z "${WAYLAND_DISPLAY:-}" ]]; then
    echo "Pylarix is a desktop program and no display is set (DISPLAY is empty)." >&2
    echo "Start it from a desktop session, or on a machine without one: xvfb-run -a bash scripts/run.sh" >&2
    exit 1
fi
exec build/bin/pylarix
