#!/usr/bin/env bash
# Makes res/icons/app.ico, the icon of the Windows programs and installer,
# from res/icons/app.svg (the icon of the Linux desktop entry and of the
# windows): one picture for each size Windows asks for (lists, taskbar,
# desktop, Explorer's large views). The .ico is kept in the repository, so
# that a native Windows build needs neither tool; run this again after
# app.svg changes. Needs rsvg-convert (librsvg2-bin) and ImageMagick.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
icons=$here/../../res/icons
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
pictures=()
for size in 16 20 24 32 40 48 64 256; do
  rsvg-convert -w "$size" -h "$size" "$icons/app.svg" -o "$tmp/$size.png"
  pictures+=("$tmp/$size.png")
done
convert "${pictures[@]}" "$icons/app.ico"
echo "$icons/app.ico"
