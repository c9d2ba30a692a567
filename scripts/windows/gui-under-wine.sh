#!/usr/bin/env bash
# Starts brivane.exe under Wine on a virtual X display (Xvfb, with openbox as
# the window manager), with the Linux virtual card on COM1 and the demo
# project open, and takes a screenshot of the whole display:
#
#   scripts/windows/gui-under-wine.sh [BUILD_DIR] [SECONDS]   # default build-win, 40
#
# The screenshot is BUILD_DIR/gui-shots/start.png. The GUI keeps running
# until SECONDS have passed (look at it with DISPLAY=:$display, click with
# xdotool, take more screenshots with `import -window root`). Needs a Linux
# build of brivane-cardsim (see card-sends.sh) and the Windows build.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
cd "$brivane_root"
build=${1:-build-win}
seconds=${2:-40}
display=${BRIVANE_GUI_DISPLAY:-57}

for p in xvfb openbox imagemagick; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || {
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "$p" >/dev/null; }
done

source "$here/wine-env.sh" "$build"
unset QT_QPA_PLATFORM # the Windows platform plugin, drawing through Wine's X driver
brivane_wine_prefix
source "$here/card-sends.sh"
prepare_card_sends
shots=$build/gui-shots
mkdir -p "$shots"

pids=()
cleanup() {
  local pid
  for pid in "${pids[@]}"; do kill -TERM "$pid" 2>/dev/null || true; done
  stop_card_and_tap
  wineserver -k 2>/dev/null || true
}
trap cleanup EXIT

export DISPLAY=:$display
if ! xdpyinfo >/dev/null 2>&1; then
  Xvfb "$DISPLAY" -screen 0 1280x900x24 -nolisten tcp >"$shots/xvfb.log" 2>&1 &
  pids+=($!)
  sleep 2
fi
openbox >"$shots/openbox.log" 2>&1 &
pids+=($!)

start_card gui
map_com1 "$card_name"
echo "virtual card on $card_name = COM1; display $DISPLAY"
wine "$(win_exe brivane)" "$win_project" >"$shots/brivane.log" 2>&1 &
pids+=($!)
sleep 25
import -window root "$shots/start.png"
echo "screenshot: $shots/start.png"
sleep "$((seconds > 25 ? seconds - 25 : 0))"
