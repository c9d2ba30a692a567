#!/usr/bin/env bash
# Installs what is missing, builds, and runs the program against the virtual
# card: a card of series 15 (QM-A, firmware 2.2.7) with a 256 x 32 two-colour
# screen on a pseudo-terminal.
#  - With a display ($DISPLAY or $WAYLAND_DISPLAY): starts the GUI on a copy of
#    the demo project, with the virtual card as port 1.
#  - Without one: sends the demo project to the card with brivane-cli and
#    writes the pages the card received as PNG files into a folder it names.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
scripts/bootstrap.sh
build=${BRIVANE_RUN_BUILD:-build}
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
have_display=
[ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ] && have_display=1
targets=(brivane-cli brivane-cardsim)
[ -n "$have_display" ] && targets+=(brivane)
cmake --build "$build" -j2 --target "${targets[@]}"

run_dir=$root/$build/demo-run
pages_dir=$run_dir/card-pages
rm -rf "$run_dir"
mkdir -p "$pages_dir"
# A copy of the demo project, so that saving in the GUI leaves examples/ as it is.
cp examples/demo.brivprj examples/logo.png "$run_dir/"

# The virtual card prints its device path on its first line of output.
"$build/sim/brivane-cardsim" --quiet --series 15 --model 0x23 --firmware 2.2.7 \
    --width 256 --height 32 --colour 2 --dump-dir "$pages_dir" \
    >"$run_dir/cardsim.out" 2>"$run_dir/cardsim.log" &
card_pid=$!
stop_card() {
    if kill -0 "$card_pid" 2>/dev/null; then
        kill -TERM "$card_pid" 2>/dev/null || true
        wait "$card_pid" 2>/dev/null || true
    fi
}
trap stop_card EXIT

device=
for _ in $(seq 1 100); do
    device=$(head -n 1 "$run_dir/cardsim.out" 2>/dev/null || true)
    [ -n "$device" ] && break
    kill -0 "$card_pid" 2>/dev/null || break
    sleep 0.1
done
if [ -z "$device" ]; then
    echo "run: the virtual card did not start:" >&2
    cat "$run_dir/cardsim.log" >&2
    exit 1
fi
echo "Virtual card (QM-A, firmware 2.2.7, 256 x 32, two colours) on $device"

if [ -n "$have_display" ]; then
    echo "Starting the GUI on $run_dir/demo.brivprj; the virtual card is port 1."
    BRIVANE_PORTS=$device "$build/src/brivane" "$run_dir/demo.brivprj" || true
    stop_card
    if compgen -G "$pages_dir/*.png" >/dev/null; then
        echo "Pages the virtual card received: $pages_dir"
    fi
    exit 0
fi

status=0
"$build/src/brivane-cli" --project "$run_dir/demo.brivprj" --port "$device" send \
    --on-error stop || status=$?
stop_card
if ! compgen -G "$pages_dir/*.png" >/dev/null; then
    echo "run: the virtual card received no pages (brivane-cli exit code $status)" >&2
    exit 1
fi
echo
echo "Pages the virtual card received, as PNG files (one pixel per LED):"
echo "  $pages_dir"
ls "$pages_dir"
exit "$status"
