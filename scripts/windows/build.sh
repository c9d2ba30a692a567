#!/usr/bin/env bash
# Cross-builds Brivane for Windows x86_64 on Debian with MinGW-w64:
# brivane.exe, brivane-cli.exe, brivane-cardsim.exe and every test executable.
#
#   scripts/windows/build.sh [BUILD_DIR]     # default build-win
#
# Qt for MinGW: $BRIVANE_WIN_QT, or ../shared/toolchains/windows/
# qt-6.4.2-mingw64.tar.xz unpacked once into ~/.cache/brivane/win-qt.
# libpng, giflib and GoogleTest: scripts/windows/deps.sh builds them once into
# ~/.cache/brivane/win-deps ($BRIVANE_WIN_DEPS). Optimised without debug
# information (-O1), warnings as on Linux, ccache when installed.
#
# A runnable folder: the programs need the Qt DLLs, the MinGW runtime DLLs
# and Qt's plugins. scripts/windows/wine-env.sh sets that up without copying:
#   source scripts/windows/wine-env.sh build-win   # WINEPATH, WINEPREFIX, ...
#   brivane_wine build-win/src/brivane-cli.exe --version
# `brivane_win_runtime DIR` copies the DLLs and plugins into DIR instead
# (a folder that runs on Windows as it is).
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
cd "$brivane_root"
build=${1:-build-win}
jobs=${BRIVANE_JOBS:-2}

# The cross compilers (POSIX threads, as Qt needs them) and MinGW's zlib.
missing=()
for p in g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix libz-mingw-w64-dev \
         cmake ninja-build qt6-base-dev-tools dpkg-dev; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "build.sh: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null 2>&1 || {
    $SUDO apt-get update -qq >/dev/null
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; }
fi

qt=$(brivane_win_qt)
deps=$("$here/deps.sh" | tail -1)
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
cmake -S . -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$(brivane_win_toolchain)" \
  -DCMAKE_PREFIX_PATH="$qt;$deps" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_FLAGS_RELEASE=-O1 \
  -DBRIVANE_BENCH=OFF -DBRIVANE_VIRTUAL_CARD=ON "${launcher[@]}" >/dev/null
cmake --build "$build" -j"$jobs"
echo "Windows programs: $build/src/brivane.exe $build/src/brivane-cli.exe $build/sim/brivane-cardsim.exe"
echo "Windows tests:    $build/tests/test_*.exe"
