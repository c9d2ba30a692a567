# Shared by the Windows scripts (sourced): where the MinGW Qt, the cross-built
# libraries and the toolchain file are.
brivane_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
brivane_cache=${XDG_CACHE_HOME:-$HOME/.cache}/brivane
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"

# The shared toolchains folder: $BRIVANE_WIN_SHARED, else shared/ beside the
# checkout (../shared) or beside its parent folder (../../shared, a worktree).
brivane_win_shared() {
  if [ -n "${BRIVANE_WIN_SHARED:-}" ]; then echo "$BRIVANE_WIN_SHARED"; return; fi
  local d
  for d in "$brivane_root/../shared" "$brivane_root/../../shared"; do
    if [ -d "$d/toolchains/windows" ]; then (cd "$d/toolchains/windows" && pwd); return; fi
  done
  echo "$brivane_root/../shared/toolchains/windows"
}

brivane_win_toolchain() {
  local t
  t=$(brivane_win_shared)/mingw-w64.cmake
  [ -f "$t" ] || t=$brivane_root/cmake/mingw-w64.cmake
  echo "$t"
}

brivane_win_deps_prefix() { echo "${BRIVANE_WIN_DEPS:-$brivane_cache/win-deps}"; }

# The Qt-for-MinGW prefix: $BRIVANE_WIN_QT, or the shared archive unpacked
# once into the cache (keyed on the archive's size and time).
brivane_win_qt() {
  if [ -n "${BRIVANE_WIN_QT:-}" ]; then echo "$BRIVANE_WIN_QT"; return; fi
  local archive dest key
  archive=$(brivane_win_shared)/qt-6.4.2-mingw64.tar.xz
  dest=$brivane_cache/win-qt
  [ -f "$archive" ] || { echo "no Qt for MinGW: set BRIVANE_WIN_QT or provide $archive" >&2; return 1; }
  key=$(stat -c '%s %Y' "$archive")
  if [ "$(cat "$dest/.stamp" 2>/dev/null)" != "$key" ]; then
    echo "unpacking $(basename "$archive") into $dest" >&2
    rm -rf "$dest" && mkdir -p "$dest"
    tar xJf "$archive" -C "$dest"
    echo "$key" > "$dest/.stamp"
  fi
  echo "$dest/qt-6.4.2-mingw64"
}
