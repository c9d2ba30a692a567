# Sourced by scripts/windows/test.sh after wine-env.sh: the installer and the
# portable zip that cpack makes (cmake/WindowsPackage.cmake), tried under
# Wine. The installed and unzipped programs run without WINEPATH and
# QT_PLUGIN_PATH, so they live on what their package brought.
#
# Needs: $build (the Windows build), $WINEPREFIX.

make_packages() {
  (cd "$build" && rm -f Brivane-*-win64.exe Brivane-*-win64.zip &&
    cpack -G "NSIS;ZIP" >cpack.log 2>&1) || { tail -30 "$build/cpack.log"; return 1; }
  installer=$(ls "$(cd "$build" && pwd)"/Brivane-*-win64.exe)
  portable_zip=$(ls "$(cd "$build" && pwd)"/Brivane-*-win64.zip)
  echo "$(basename "$installer"): $(stat -c %s "$installer") bytes"
  echo "$(basename "$portable_zip"): $(stat -c %s "$portable_zip") bytes"
}

# A Windows program run as a user would: no paths into the build machine.
packaged_wine() {
  env -u WINEPATH -u QT_PLUGIN_PATH -u BRIVANE_TEST_DATA wine "$@"
}

installed_dir() { echo "$WINEPREFIX/drive_c/Program Files/Brivane"; }
appdata_project() {
  local user
  user=$(ls "$WINEPREFIX/drive_c/users" | grep -v '^Public$' | head -1)
  echo "$WINEPREFIX/drive_c/users/$user/AppData/Roaming/Brivane/default.brivprj"
}

# Silent install: the programs, Qt and the MinGW runtime, the platform and
# image plugins, Qt's Chinese catalogue, the uninstaller and its registry
# entry; brivane-cli.exe runs from there and keeps its project in %APPDATA%.
check_installer() {
  local dir f
  dir=$(installed_dir)
  wine "$installer" /S && wineserver -w
  for f in brivane.exe brivane-cli.exe brivane-cardsim.exe Uninstall.exe Qt6Core.dll \
           Qt6Widgets.dll Qt6SerialPort.dll libstdc++-6.dll libwinpthread-1.dll \
           platforms/qwindows.dll imageformats/qjpeg.dll imageformats/qgif.dll \
           translations/qt_zh_CN.qm translations/qtbase_zh_CN.qm; do
    [ -f "$dir/$f" ] || { echo "not installed: $f"; return 1; }
  done
  [ ! -e "$dir/default.brivprj" ] || { echo "the installer brought a project file"; return 1; }
  wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brivane' \
    /v UninstallString || { echo "no uninstaller entry"; return 1; }
  packaged_wine 'C:\Program Files\Brivane\brivane-cli.exe' --version || return 1
  rm -f "$(appdata_project)"
  (cd "$WINEPREFIX/drive_c" &&
    packaged_wine 'C:\Program Files\Brivane\brivane-cli.exe' new &&
    packaged_wine 'C:\Program Files\Brivane\brivane-cli.exe' add-text Welcome) || return 1
  [ -f "$(appdata_project)" ] || { echo "no project in %APPDATA%: $(appdata_project)"; return 1; }
  [ ! -e "$dir/default.brivprj" ] || { echo "the project went to Program Files"; return 1; }
  echo "project kept in $(appdata_project)"
}

# The uninstaller (run silently; it copies itself away and returns at once,
# so wait for Wine's processes) removes the programs and its entry.
check_uninstaller() {
  local dir
  dir=$(installed_dir)
  [ -f "$dir/Uninstall.exe" ] || { echo "nothing installed"; return 1; }
  wine 'C:\Program Files\Brivane\Uninstall.exe' /S && wineserver -w
  sleep 1
  wineserver -w
  if [ -e "$dir/brivane.exe" ] || [ -e "$dir/Qt6Core.dll" ] || [ -e "$dir/platforms" ]; then
    echo "left behind:"; find "$dir" | head -20; return 1
  fi
  if wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Brivane' \
       >/dev/null 2>&1; then
    echo "the uninstaller entry is still there"; return 1
  fi
}

# The portable zip: one folder, the project file beside brivane.exe, and
# the programs use it.
check_portable() {
  local dir=$build/portable top
  rm -rf "$dir" && mkdir -p "$dir"
  (cd "$dir" && unzip -q "$portable_zip") || return 1
  top=$(ls "$dir")
  [ "$(echo "$top" | wc -l)" -eq 1 ] || { echo "the zip holds more than one folder"; return 1; }
  dir=$dir/$top
  [ -f "$dir/brivane.exe" ] && [ -f "$dir/default.brivprj" ] && [ -f "$dir/platforms/qwindows.dll" ] ||
    { echo "incomplete portable folder"; ls "$dir"; return 1; }
  packaged_wine "$dir/brivane-cli.exe" --version || return 1
  packaged_wine "$dir/brivane-cli.exe" list | tee "$build/portable-list.out"
  grep -q "Fresh bread daily" "$build/portable-list.out" || { echo "the demo project was not read"; return 1; }
}
