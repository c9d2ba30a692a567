#!/usr/bin/env bash
# Draws the about box's animated banner, res/banner.gif (297 x 36): a
# 99 x 12 LED matrix with 3-pixel dots on which "Brivane" runs in, changes
# colour, a green ticker passes and the version blinks. Each frame is drawn
# at LED resolution with ImageMagick, blown up onto the dot grid, and all
# frames are joined into one looping GIF with their delays (1/100 s).
# Usage: scripts/make_banner.sh [output.gif]
set -euo pipefail
cd "$(dirname "$0")/.."
out=${1:-res/banner.gif}
font=/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf
[ -f "$font" ] || { echo "make_banner: $font is missing (fonts-dejavu-core)" >&2; exit 1; }

cols=99 rows=12 dot=3
red='#ff3030' green='#30ff50' yellow='#ffd020'
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The dot grid: a lit LED is a 2 x 2 square in its 3 x 3 cell; unlit LEDs
# glow faintly so that the matrix shows.
convert -size ${dot}x${dot} xc:black -fill white -draw "rectangle 0,0 1,1" "$work/cell.png"
convert -size ${dot}x${dot} xc:black -fill '#3a0c0c' -draw "rectangle 0,0 1,1" "$work/offcell.png"
convert -size $((cols * dot))x$((rows * dot)) tile:"$work/cell.png" "$work/mask.png"
convert -size $((cols * dot))x$((rows * dot)) tile:"$work/offcell.png" "$work/off.png"

text_width() {
    convert -size 400x${rows} xc:black +antialias -font "$font" -pointsize 11 -fill white \
        -annotate +0+10 "$1" -trim -format '%w' info:
}

n=0
frames=()
# frame DELAY [TEXT COLOUR X]...: one frame with the given texts lit.
frame() {
    local delay=$1
    shift
    local args=()
    while [ $# -ge 3 ]; do
        args+=(-fill "$2" -annotate "+$3+10" "$1")
        shift 3
    done
    local name
    name=$(printf '%s/f%03d.png' "$work" "$n")
    convert -size ${cols}x${rows} xc:black +antialias -font "$font" -pointsize 11 "${args[@]}" \
        -scale $((dot * 100))% "$work/mask.png" -compose Multiply -composite \
        "$work/off.png" -compose Lighten -composite "$name"
    frames+=(-delay "$delay" "$name")
    n=$((n + 1))
}

name="Brivane"
w=$(text_width "$name")
centre=$(((cols - w) / 2))

# "Brivane" runs in from the right and stops in the middle.
for ((x = cols; x > centre; x -= 3)); do
    frame 4 "$name" "$red" "$x"
done
frame 120 "$name" "$red" "$centre"
# It changes colour a few times.
frame 25 "$name" "$yellow" "$centre"
frame 25 "$name" "$green" "$centre"
frame 25 "$name" "$yellow" "$centre"
frame 80 "$name" "$red" "$centre"
# It leaves to the left while the ticker follows it.
ticker="LED SIGN TOOL"
tw=$(text_width "$ticker")
gap=24
for ((x = centre; x + w + gap + tw > 0; x -= 3)); do
    frame 4 "$name" "$red" "$x" "$ticker" "$green" $((x + w + gap))
done
# The version blinks in the middle.
version="V 1.5"
vw=$(text_width "$version")
vx=$(((cols - vw) / 2))
frame 20
frame 50 "$version" "$yellow" "$vx"
frame 20
frame 50 "$version" "$yellow" "$vx"
frame 20
frame 100 "$version" "$yellow" "$vx"
frame 30

convert -loop 0 "${frames[@]}" -layers OptimizeFrame "$out"
echo "make_banner: $n frames -> $out ($(stat -c %s "$out") bytes)"
