#!/usr/bin/env bash
# Cross-builds the libraries a Windows build needs besides Qt (libpng,
# giflib, GoogleTest; zlib is Debian's libz-mingw-w64-dev) from Debian's
# source packages, as static libraries, into one prefix outside the checkout:
#   scripts/windows/deps.sh            # prints the prefix on its last line
# The prefix is $BRIVANE_WIN_DEPS (default ~/.cache/brivane/win-deps). Each
# library is keyed on its Debian source version and built only once.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"

prefix=$(brivane_win_deps_prefix)
work=$prefix/src
mkdir -p "$prefix" "$work"
jobs=${BRIVANE_JOBS:-2}

# Source packages come from bookworm's deb-src; add the line once.
ensure_deb_src() {
  if grep -rqs '^Types:.*deb-src\|^deb-src ' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    return
  fi
  echo "deps: adding bookworm's deb-src to apt's sources" >&2
  $SUDO tee /etc/apt/sources.list.d/brivane-deb-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
  $SUDO apt-get update -qq >/dev/null
}

# Unpacks Debian source package $1 under $work; prints its folder. The
# version comes from apt, so the stamp names what was built.
fetch_source() {
  local pkg=$1 version dir
  version=$(apt-cache showsrc "$pkg" 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -1)
  dir=$work/$pkg-$version
  if [ ! -d "$dir" ]; then
    rm -rf "$work/get-$pkg" && mkdir -p "$work/get-$pkg"
    (cd "$work/get-$pkg" && apt-get source -qq --only-source "$pkg=$version" >/dev/null 2>&1) || {
      echo "deps: apt-get source $pkg=$version failed" >&2; exit 1; }
    local unpacked
    unpacked=$(find "$work/get-$pkg" -mindepth 1 -maxdepth 1 -type d | head -1)
    mv "$unpacked" "$dir"
    rm -rf "$work/get-$pkg"
  fi
  echo "$dir"
}

# $1 name, $2 source version: true when this version is already built.
built() { [ "$(cat "$prefix/.stamp-$1" 2>/dev/null)" = "$2" ]; }
stamp() { echo "$2" > "$prefix/.stamp-$1"; }

source_version() { apt-cache showsrc "$1" 2>/dev/null | sed -n 's/^Version: //p' | sort -V | tail -1; }

cmake_cross() {
  cmake -G Ninja -DCMAKE_TOOLCHAIN_FILE="$(brivane_win_toolchain)" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX="$prefix" \
    -DCMAKE_PREFIX_PATH="$prefix" -DBUILD_SHARED_LIBS=OFF "$@" >/dev/null
}

need_versions=()
for pkg in libpng1.6 giflib googletest; do
  v=$(source_version "$pkg" || true)
  if [ -z "$v" ]; then ensure_deb_src; v=$(source_version "$pkg"); fi
  built "$pkg" "$v" || need_versions+=("$pkg")
done
if [ ${#need_versions[@]} -eq 0 ]; then
  echo "$prefix"; exit 0
fi
ensure_deb_src

for pkg in "${need_versions[@]}"; do
  v=$(source_version "$pkg")
  src=$(fetch_source "$pkg")
  echo "deps: building $pkg $v for Windows" >&2
  b=$work/build-$pkg
  rm -rf "$b"
  case $pkg in
    libpng1.6)
      # zlib: Debian's MinGW build of it, static.
      cmake_cross -S "$src" -B "$b" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
        -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON \
        -DZLIB_LIBRARY=/usr/x86_64-w64-mingw32/lib/libz.a \
        -DZLIB_INCLUDE_DIR=/usr/x86_64-w64-mingw32/include
      cmake --build "$b" -j"$jobs" >/dev/null
      cmake --install "$b" >/dev/null
      ;;
    giflib)
      # giflib has only a Unix makefile; its library is eight C files.
      mkdir -p "$b" "$prefix/lib" "$prefix/include"
      objs=()
      for c in dgif_lib egif_lib gifalloc gif_err gif_font gif_hash openbsd-reallocarray quantize; do
        [ -f "$src/$c.c" ] || continue
        x86_64-w64-mingw32-gcc-posix -O2 -w -c "$src/$c.c" -I"$src" -o "$b/$c.o"
        objs+=("$b/$c.o")
      done
      rm -f "$prefix/lib/libgif.a"
      x86_64-w64-mingw32-ar rcs "$prefix/lib/libgif.a" "${objs[@]}"
      cp "$src/gif_lib.h" "$prefix/include/"
      ;;
    googletest)
      cmake_cross -S "$src" -B "$b" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
      cmake --build "$b" -j"$jobs" >/dev/null
      cmake --install "$b" >/dev/null
      ;;
  esac
  rm -rf "$b"
  stamp "$pkg" "$v"
done
echo "$prefix"
