#!/bin/bash
# Peak resident memory and wall time of list, render, send and a GUI start on
# the files of bench/make_budget_files.py, one line per run:
#
#   bench/measure_budget.sh BUILD_DIR FILES_DIR [CASE...]
#
# BUILD_DIR is a Release build (brivane-cli, brivane-cardsim, brivane). The
# virtual card answers on a pseudo-terminal with the largest screen
# (2040 x 128), so every page is rendered at the size a card can have. The
# GUI runs under Xvfb and openbox: its start is the window, the card search
# (its dialog's "确定" pressed by xdotool) and the pages of every program;
# the time is taken when the process has gone idle. Each run is cut off
# after LIMIT seconds (default 600; a cut-off send is interrupted as Ctrl-C
# does). Needs /usr/bin/time, Xvfb, openbox and xdotool.
set -u
build=$(realpath "$1")
files=$(realpath "$2")
shift 2
cases=("$@")
[ ${#cases[@]} -eq 0 ] && cases=(a-long-texts b-3000-programs c-most-pages c-most-items d-big-png d-big-png-centre e-svg)
limit=${LIMIT:-600}
work=$(mktemp -d)
cli=$build/src/brivane-cli

"$build/sim/brivane-cardsim" --link "$work/card" --width 2040 --height 128 >"$work/card.log" 2>&1 &
card=$!
display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
sleep 1
DISPLAY=$display openbox >/dev/null 2>&1 &
wm=$!
trap 'kill $card $wm $xvfb 2>/dev/null; rm -rf "$work"' EXIT
sleep 1

# Prints "peak-MB wall-s exit-code" of the command under /usr/bin/time.
measure() {
    /usr/bin/time -f '%M %e %x' -o "$work/time" timeout -s INT "$limit" "$@" \
        >"$work/out" 2>"$work/err"
    awk 'END {printf "%8.0f MB %8.2f s  exit %s", $1 / 1024, $2, $3}' "$work/time"
}

# The last line the program wrote to standard error, shortened.
message() { grep -v '^\[' "$work/err" | tail -1 | cut -c1-110; }

# CPU ticks the process has used so far.
ticks() { awk '{print $14 + $15}' "/proc/$1/stat" 2>/dev/null; }

gui_start() {
    local project=$1 start pid idle=0 last now wall
    start=$(date +%s.%N)
    DISPLAY=$display BRIVANE_PORTS=$work/card /usr/bin/time -f '%M %e %x' -o "$work/time" \
        "$build/src/brivane" "$project" >"$work/out" 2>"$work/err" &
    local timer=$!
    for _ in $(seq 1 50); do
        pid=$(pgrep -P "$timer" | head -1)
        [ -n "$pid" ] && break
        sleep 0.1
    done
    last=$(ticks "$pid")
    # Press Return on the search dialog while it is there (a real key press
    # and release: a key sent to a window that closes in between stays down
    # and answers every later question); done when the process has used no
    # CPU for two seconds. A budget message stays open for the screenshot.
    while [ $idle -lt 20 ] && kill -0 "$pid" 2>/dev/null; do
        w=$(DISPLAY=$display xdotool search --onlyvisible --pid "$pid" --name '^进度$' 2>/dev/null | head -1)
        if [ -n "$w" ]; then
            DISPLAY=$display xdotool windowactivate "$w" key Return 2>/dev/null
            DISPLAY=$display xdotool keyup Return 2>/dev/null
        fi
        sleep 0.1
        now=$(ticks "$pid")
        if [ "$now" = "$last" ]; then idle=$((idle + 1)); else idle=0; last=$now; wall=$(date +%s.%N); fi
        if [ "$(echo "$(date +%s) - ${start%.*}" | bc)" -gt "$limit" ]; then break; fi
    done
    DISPLAY=$display import -window root "$work/gui.png" 2>/dev/null &&
        cp "$work/gui.png" "${SHOT_DIR:-/tmp}/gui-$(basename "$project" .brivprj).png"
    kill -TERM "$pid" 2>/dev/null
    wait "$timer"
    awk -v wall="$(echo "${wall:-$start} - $start" | bc)" \
        'END {printf "%8.0f MB %8.2f s  (to idle)", $1 / 1024, wall}' "$work/time"
}

printf '%-16s %-8s %11s %10s  %s\n' case run peak wall result
for c in "${cases[@]}"; do
    project=$files/$c.brivprj
    printf '%-16s %-8s %s  %s\n' "$c" list "$(measure "$cli" --project "$project" list)" "$(message)"
    rm -rf "$work/pages"
    printf '%-16s %-8s %s  %s\n' "$c" render \
        "$(measure "$cli" --project "$project" render --out "$work/pages")" \
        "$(ls "$work/pages" 2>/dev/null | wc -l) files; $(message)"
    printf '%-16s %-8s %s  %s\n' "$c" send \
        "$(measure "$cli" --project "$project" --port "$work/card" send)" "$(message)"
    printf '%-16s %-8s %s\n' "$c" gui "$(gui_start "$project")"
done
