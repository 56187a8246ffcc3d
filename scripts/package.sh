#!/usr/bin/env bash
# Builds the Debian package pylarix_<version>_<arch>.deb through CPack.
#   bash scripts/package.sh [BUILD_DIR [OUTPUT_DIR]]
# BUILD_DIR defaults to build-package (a release build without tests); an already configured and
# built tree, such as the test build, is packaged as it is. OUTPUT_DIR defaults to the top folder.
set -euo pipefail
cd "$(dirname "$0")/.."
top="$(pwd)"

bash scripts/setup.sh

build="${1:-build-package}"
out="${2:-$top}"
if [[ ! -f "$build/CMakeCache.txt" ]]; then
    cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DPYLARIX_TESTS=OFF -DPYLARIX_BENCH=OFF >/dev/null
fi
cmake --build "$build"
mkdir -p "$out"
out="$(cd "$out" && pwd)"
(cd "$build" && cpack -G DEB -B "$out/_cpack")
shopt -s nullglob
debs=("$out"/_cpack/pylarix_*.deb)
if [[ ${#debs[@]} -ne 1 ]]; then
    echo "package: expected one package in $out/_cpack, found ${#debs[@]}" >&2
    exit 1
fi
mv -f "${debs[0]}" "$out/"
rm -rf "$out/_cpack"
echo "$out/$(basename "${debs[0]}")"
