#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program against the virtual card.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/bootstrap.sh
build=${BRIVANE_RUN_BUILD:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2
echo "Built: $build/src/brivane, $build/src/brivane-cli, $build/sim/brivane-cardsim"
