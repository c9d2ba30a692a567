#!/usr/bin/env bash
# Installs what is missing, builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs every test case (one CTest test each,
# as many at once as there are processors).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
build=${BRIVANE_TEST_BUILD:-build-asan}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DBRIVANE_SANITIZE=ON >/dev/null
cmake --build "$build" -j2
cd "$build"
ctest -j"$(nproc)" --output-on-failure
