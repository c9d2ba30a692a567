# Sourced by scripts/windows/test.sh after wine-env.sh: the demo project sent
# to the Linux virtual card by the Linux brivane-cli (the reference), and by
# brivane-cli.exe under Wine through COM1 (Wine's port mapping onto a
# pseudo-terminal) and through tcp:// (the card's TCP face). line-tap.py sits
# in front of the card each time and records every byte the program sends,
# so the three sends can be compared byte for byte.
#
# Needs: $build (the Windows build), _brivane_winpath (wine-env.sh).

# The Linux programs for the reference: those of the ASan build of
# scripts/test.sh when it has them, else a small build of just the two.
brivane_linux_card_build() {
  local dir
  for dir in "${BRIVANE_LINUX_BUILD:-}" build-asan build; do
    if [ -n "$dir" ] && [ -x "$dir/src/brivane-cli" ] && [ -x "$dir/sim/brivane-cardsim" ]; then
      echo "$dir"; return
    fi
  done
  dir=build-linux-card
  cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=Release -DBRIVANE_TESTS=OFF \
    -DBRIVANE_BENCH=OFF >/dev/null
  cmake --build "$dir" -j"${BRIVANE_JOBS:-2}" --target brivane-cli brivane-cardsim >&2
  echo "$dir"
}

send_dir=$build/card-sends
card_pid= tap_pid=

# Waits for the first line of file $1 written by process $2; prints it.
_first_line() {
  local line=
  for _ in $(seq 1 100); do
    line=$(head -n 1 "$1" 2>/dev/null || true)
    [ -n "$line" ] && break
    kill -0 "$2" 2>/dev/null || break
    sleep 0.1
  done
  echo "$line"
}

# start_card NAME [--tcp 0]: the virtual card (the scripts/run.sh card: QM-A,
# firmware 2.2.7, 256 x 32, two colours), dumping its pages into NAME-pages;
# sets card_name to its device (or tcp:// name).
start_card() {
  local name=$1; shift
  "$linux_build/sim/brivane-cardsim" --quiet --series 15 --model 0x23 --firmware 2.2.7 \
    --width 256 --height 32 --colour 2 --dump-dir "$send_dir/$name-pages" "$@" \
    >"$send_dir/$name-card.out" 2>"$send_dir/$name-card.log" &
  card_pid=$!
  card_name=$(_first_line "$send_dir/$name-card.out" "$card_pid")
  [ -n "$card_name" ]
}

# start_tap NAME pty|tcp TARGET: the tap in front of the card; sets tap_name
# to what the program is to open.
start_tap() {
  "$brivane_root/scripts/windows/line-tap.py" "$2" "$3" "$send_dir/$1.bytes" \
    >"$send_dir/$1-tap.out" 2>"$send_dir/$1-tap.log" &
  tap_pid=$!
  tap_name=$(_first_line "$send_dir/$1-tap.out" "$tap_pid")
  [ -n "$tap_name" ]
}

stop_card_and_tap() {
  local pid
  for pid in $tap_pid $card_pid; do
    kill -TERM "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  tap_pid= card_pid=
}

# Wine's COM1 becomes `device`: the registry value, read by Wine's mount
# manager when the wine server starts again.
map_com1() {
  wine reg add 'HKLM\Software\Wine\Ports' /v COM1 /t REG_SZ /d "$1" /f >/dev/null
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
}

# send_with NAME pty|com1|tcp PROGRAM...: a fresh card and tap, then PROGRAM
# with "{port}" replaced by the port to use (com1: the tap's pseudo-terminal
# mapped to Wine's COM1).
send_with() {
  local name=$1 kind=$2 status=0 tap_kind=pty; shift 2
  [ "$kind" = tcp ] && tap_kind=tcp
  rm -f "$send_dir/$name.bytes"
  if [ "$kind" = tcp ]; then start_card "$name" --tcp 0; else start_card "$name"; fi || {
    echo "the virtual card did not start"; cat "$send_dir/$name-card.log"; return 1; }
  start_tap "$name" "$tap_kind" "$card_name" || {
    echo "the line tap did not start"; cat "$send_dir/$name-tap.log"; stop_card_and_tap; return 1; }
  local args=() a
  for a in "$@"; do args+=("${a//\{port\}/$tap_name}"); done
  if [ "$kind" = com1 ]; then map_com1 "$tap_name"; fi
  "${args[@]}" || status=$?
  stop_card_and_tap
  echo "$name: $(stat -c %s "$send_dir/$name.bytes" 2>/dev/null || echo 0) bytes sent, exit code $status"
  return "$status"
}

# The same bytes as the reference send, and the same pages on the card;
# compare-sends.py names the frames that differ.
same_bytes_as() {
  [ -s "$send_dir/$1.bytes" ] &&
    "$brivane_root/scripts/windows/compare-sends.py" "$send_dir/$1.bytes" "$send_dir/$2.bytes" &&
    cmp "$send_dir/$1.bytes" "$send_dir/$2.bytes" &&
    diff -r "$send_dir/$1-pages" "$send_dir/$2-pages" &&
    echo "$(stat -c %s "$send_dir/$2.bytes") bytes, the same"
}

prepare_card_sends() {
  linux_build=$(brivane_linux_card_build)
  rm -rf "$send_dir" && mkdir -p "$send_dir"
  cp examples/demo.brivprj examples/logo.png "$send_dir/"
  win_project=$(_brivane_winpath "$(cd "$send_dir" && pwd)/demo.brivprj")
  # The demo without its text programs: a send that no font can change.
  cp examples/demo.brivprj "$send_dir/pictures.brivprj"
  local n
  for n in 4 2 1; do
    "$linux_build/src/brivane-cli" --project "$send_dir/pictures.brivprj" remove "$n" >/dev/null
  done
  win_pictures=$(_brivane_winpath "$(cd "$send_dir" && pwd)/pictures.brivprj")
  win_cli=$(win_exe brivane-cli)
}

# A Windows program of the build: where Qt's project setup puts it (the build
# folder's top, beside the DLLs it makes) or in its source folder's.
win_exe() {
  local dir
  for dir in "$build" "$build/src" "$build/sim"; do
    [ -f "$dir/$1.exe" ] && { echo "$dir/$1.exe"; return; }
  done
  echo "$build/$1.exe"
}

# find under Wine names COM1 (the card is there) and its model.
find_names_com1() {
  wine "$win_cli" --project "$win_project" find | tee "$send_dir/find.out"
  grep -q "COM1" "$send_dir/find.out"
}
