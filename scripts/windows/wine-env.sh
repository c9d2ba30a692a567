# Source this (bash) to run the Windows build under Wine:
#   source scripts/windows/wine-env.sh [BUILD_DIR]     # default build-win
#   brivane_wine build-win/src/brivane-cli.exe --version
# It sets WINEPREFIX (a prefix of our own in BUILD_DIR/wineprefix, made on
# first use), WINEDEBUG, WINEDLLOVERRIDES, QT_QPA_PLATFORM=offscreen (unset it
# for a window under X), QT_PLUGIN_PATH and WINEPATH (the Qt DLLs and the
# MinGW runtime DLLs), so nothing needs copying next to the programs.
# brivane_win_runtime DIR copies the same DLLs and plugins into DIR.
_brivane_here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$_brivane_here/common.sh"
brivane_win_build=$(cd "${1:-$brivane_root/build-win}" 2>/dev/null && pwd || echo "${1:-$brivane_root/build-win}")
brivane_win_qt_prefix=$(brivane_win_qt)
# The MinGW runtime: libstdc++ and libgcc of the POSIX-threads compiler, and
# winpthreads.
brivane_win_runtime_dlls=(
  /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libstdc++-6.dll
  /usr/lib/gcc/x86_64-w64-mingw32/12-posix/libgcc_s_seh-1.dll
  /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll
)

export WINEPREFIX=$brivane_win_build/wineprefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
# Wine 8 passes the environment on, but for variables named QT_*: those two
# below never reach a Windows program (set them in the prefix's registry,
# HKCU\Environment, to try one). The programs choose their platform
# themselves (the test mains and TextFont::chooseFontEngine), and Qt finds
# its plugins beside its DLLs. Qt reads paths as Windows paths; Z: is the
# Linux root.
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
_brivane_winpath() { echo "Z:${1//\//\\}"; }
export QT_PLUGIN_PATH=$(_brivane_winpath "$brivane_win_qt_prefix/plugins")
export WINEPATH="$(_brivane_winpath "$brivane_win_qt_prefix/bin");$(_brivane_winpath /usr/lib/gcc/x86_64-w64-mingw32/12-posix);$(_brivane_winpath /usr/x86_64-w64-mingw32/lib)"

# Makes the prefix once (about 8 s; no Mono or Gecko asked for).
brivane_wine_prefix() {
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    wine wineboot -i >/dev/null 2>&1
    wineserver -w
  fi
}

# Runs a Windows program under Wine with the environment above.
brivane_wine() {
  brivane_wine_prefix
  wine "$@"
}

# Copies what the programs need at run time into DIR: the Qt DLLs, the MinGW
# runtime, and the platforms/, imageformats/, iconengines/ and tls/ plugins.
brivane_win_runtime() {
  local dir=$1 sub
  mkdir -p "$dir"
  cp -u "$brivane_win_qt_prefix"/bin/Qt6*.dll "${brivane_win_runtime_dlls[@]}" "$dir/"
  for sub in platforms imageformats iconengines tls styles; do
    if [ -d "$brivane_win_qt_prefix/plugins/$sub" ]; then
      mkdir -p "$dir/$sub"
      cp -u "$brivane_win_qt_prefix/plugins/$sub"/*.dll "$dir/$sub/" 2>/dev/null || true
    fi
  done
}
