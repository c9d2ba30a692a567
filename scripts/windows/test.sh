#!/usr/bin/env bash
# The Windows suite on Debian: installs Wine, the MinGW compilers and NSIS,
# cross-builds (scripts/windows/build.sh), runs every test executable whole
# under Wine (no window shown, a fresh Wine prefix in the build folder)
# and ends with one line "N passed, N failed, N skipped" (GoogleTest cases,
# plus the checks at the end). Exits non-zero when any failed.
#
#   scripts/windows/test.sh [BUILD_DIR]      # default build-win
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/common.sh"
cd "$brivane_root"
build=${1:-build-win}

# Debian's wine64 holds the 64-bit loader; the `wine` command comes with the
# `wine` package.
missing=()
for p in wine wine64 nsis g++-mingw-w64-x86-64-posix libz-mingw-w64-dev python3 unzip; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "test.sh: installing ${missing[*]}" >&2
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null 2>&1 || {
    $SUDO apt-get update -qq >/dev/null
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null; }
fi

mkdir -p "$build"
log=$build/build.log
"$here/build.sh" "$build" >"$log" 2>&1 || { tail -50 "$log"; exit 1; }
grep -q "warning:" "$log" && { grep -B2 -A4 "warning:" "$log" | head -60; echo "the Windows build warns" >&2; }

source "$here/wine-env.sh" "$build"
# A fresh prefix for every run.
wineserver -k 2>/dev/null || true
rm -rf "$WINEPREFIX"
brivane_wine_prefix
# The examples the tests read, as a Windows path.
export BRIVANE_TEST_DATA=$(_brivane_winpath "$brivane_root/examples")
# The programs the tests start speak Chinese whatever Wine's locale, as
# under CTest (tests/CMakeLists.txt).
export BRIVANE_LANG=zh_CN
results=$build/wine-results
rm -rf "$results" && mkdir -p "$results"

passed=0 failed=0 skipped=0
# Adds one check's outcome to the counts: check NAME COMMAND...
check() {
  local name=$1; shift
  if "$@" >"$results/$name.log" 2>&1; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1)); echo "FAILED: $name (see $results/$name.log)" >&2
  fi
}

# Every test executable, whole; GoogleTest's XML report gives the counts.
# Each runs in well under a minute on a loaded machine; one that has not
# ended after $exe_timeout s (hung, say at exit) fails as one more case, and
# the cases its report already holds still count.
exe_timeout=${BRIVANE_WIN_TEST_TIMEOUT:-300}
for exe in "$build"/tests/test_*.exe; do
  name=$(basename "$exe" .exe)
  xml=$results/$name.xml
  start=$(date +%s)
  rc=0
  timeout -k 10 "$exe_timeout" wine "$exe" --gtest_output="xml:$(_brivane_winpath "$(pwd)/$xml")" \
    >"$results/$name.log" 2>&1 || rc=$?
  if [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ]; then
    echo "FAILED: $name did not end within $exe_timeout s (see $results/$name.log)" >&2
    failed=$((failed + 1))
    # What it left running would hold the next one up.
    wineserver -k 2>/dev/null || true
  fi
  if [ ! -s "$xml" ]; then
    echo "FAILED: $name ended without a report (see $results/$name.log)" >&2
    [ "$rc" -eq 124 ] || [ "$rc" -eq 137 ] || failed=$((failed + 1))
    continue
  fi
  read -r p f s < <(python3 - "$xml" <<'PY'
import sys, xml.etree.ElementTree as ET
p = f = s = 0
for case in ET.parse(sys.argv[1]).iter('testcase'):
    if case.find('failure') is not None: f += 1
    elif case.find('skipped') is not None or case.get('result') == 'skipped' or case.get('status') == 'notrun': s += 1
    else: p += 1
print(p, f, s)
PY
)
  echo "$name: $p passed, $f failed, $s skipped ($(( $(date +%s) - start )) s)" >&2
  [ "$f" -gt 0 ] && grep -E "^\[  FAILED  \]" "$results/$name.log" | sort -u | head -40 >&2
  # Ended badly (crashed at exit, say) with every case passed: one more failure.
  if [ "$rc" -ne 0 ] && [ "$rc" -ne 124 ] && [ "$rc" -ne 137 ] && [ "$f" -eq 0 ]; then
    echo "FAILED: $name ended with code $rc (see $results/$name.log)" >&2
    failed=$((failed + 1))
  fi
  passed=$((passed + p)); failed=$((failed + f)); skipped=$((skipped + s))
done

# The programs start and know their version.
for program in src/brivane-cli sim/brivane-cardsim src/brivane; do
  check "version-$(basename "$program")" timeout 120 wine "$build/$program.exe" --version
done

# ---- Further Windows checks go here (the COM1 send, the installer, ...):
# each one a `check NAME COMMAND...`, counted in the line below.

# The demo project, and the demo without its text programs ("pictures"),
# sent by the Linux CLI (the reference), then by the Windows CLI through COM1
# and through tcp://. Both reach the card byte for byte as from Linux, the
# demo's text pages included (both builds draw text with Qt's FreeType
# engine from the same face files). find under Wine names COM1.
source "$here/card-sends.sh"
prepare_card_sends
for project in demo pictures; do
  linux_project=$send_dir/$project.brivprj
  win=$win_project; [ "$project" = pictures ] && win=$win_pictures
  check "send-$project-linux" send_with "$project-linux" pty "$linux_build/src/brivane-cli" \
    --project "$linux_project" --port "{port}" send --on-error stop
  check "send-$project-com1" send_with "$project-com1" com1 wine "$win_cli" --project "$win" \
    --port COM1 send --on-error stop
  check "send-$project-tcp" send_with "$project-tcp" tcp wine "$win_cli" --project "$win" \
    --port "{port}" send --on-error stop
done
for line in com1 tcp; do
  check "send-demo-$line-same-bytes" same_bytes_as demo-linux "demo-$line"
  check "send-pictures-$line-same-bytes" same_bytes_as pictures-linux "pictures-$line"
done
check find-com1 send_with find com1 find_names_com1

# The installer and the portable zip (cpack: NSIS and ZIP).
source "$here/package-checks.sh"
check packages make_packages
check installer check_installer
check uninstaller check_uninstaller
check portable check_portable

wineserver -k 2>/dev/null || true
echo "$passed passed, $failed failed, $skipped skipped"
[ "$failed" -eq 0 ]
