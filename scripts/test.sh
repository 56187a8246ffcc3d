#!/usr/bin/env bash
# Sets up the machine, builds Pylarix and runs every test: the main build with warnings as
# errors, a ThreadSanitizer build of the threaded tests, and an ASan+UBSan build (clang) of the
# unit tests and the fuzz targets.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/setup.sh

echo "== main build"
cmake -S . -B build -G Ninja -DPYLARIX_WERROR=ON >/dev/null
cmake --build build
ctest --test-dir build --output-on-failure -j2

echo "== ThreadSanitizer build"
cmake -S . -B build-tsan -G Ninja -DPYLARIX_WERROR=ON -DPYLARIX_SANITIZE=thread -DPYLARIX_BENCH=OFF >/dev/null
cmake --build build-tsan --target pylarix_tsan_tests
ctest --test-dir build-tsan -L tsan --output-on-failure

echo "== AddressSanitizer + UndefinedBehaviorSanitizer build (clang, with the fuzzers)"
cmake -S . -B build-asan -G Ninja -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14 \
    -DPYLARIX_WERROR=ON -DPYLARIX_SANITIZE=address -DPYLARIX_FUZZ=ON -DPYLARIX_BENCH=OFF >/dev/null
cmake --build build-asan --target pylarix_asan_tests
UBSAN_OPTIONS="halt_on_error=1 print_stacktrace=1" ctest --test-dir build-asan -L 'asan|fuzz' --output-on-failure
