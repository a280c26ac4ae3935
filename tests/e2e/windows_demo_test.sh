#!/usr/bin/env bash
# The Windows demo end to end under 64-bit Wine (scripts/demo --windows: Zorvik.exe and
# dxkeeper-sim.exe on a virtual display, a user clicking with real mouse input), checked as the
# Linux demo is (demo_checks.sh) and against the Linux build: the same log through the same steps
# (Refresh, Log Clean and OK, Add and OK, close) must come out the same, row for row. Then
# Zorvik.exe's two start-up boxes: DXKeeper not running, DXKeeper not installed. The Windows run
# is made twice: on the SQLite log, and on the same log opened as a Jet log through the DAO
# engine over its test stand-in (scripts/demo --dao-standin); both must match the Linux build.
#
#   windows_demo_test.sh SOURCE_DIR WINDOWS_BUILD_DIR LINUX_BUILD_DIR
#
# WINDOWS_BUILD_DIR is the x86_64 build of scripts/build-windows; LINUX_BUILD_DIR a build with
# the Linux demo's programs (zorvik, its demo driver, dxkeeper-sim, zorvik-log).
set -euo pipefail
source_dir="$(cd "$1" && pwd)"
windows_build="$(cd "$2" && pwd)"
linux_build="$(cd "$3" && pwd)"
work="$(mktemp -d)"

source "$source_dir/tests/e2e/demo_checks.sh"
source "$source_dir/scripts/lib/wine-session.sh"
trap 'wine_session_end; rm -rf "$work"' EXIT

"$linux_build/tools/zorvik-log/zorvik-log" generate "$work/before.sqlite" --contacts 3000 \
  --queue 60 --call K1ZRV > /dev/null
cp "$work/before.sqlite" "$work/input.sqlite"

# Each demo works on its own copy of the input; the input itself stays as it was.
demo() {  # demo NAME OPTION...
  local name=$1 status=0
  shift
  "$source_dir/scripts/demo" --no-setup --log "$work/input.sqlite" --work "$work/$name" \
    --screenshot "$work/$name.png" "$@" > "$work/$name.out" 2>&1 || status=$?
  cat "$work/$name.out"
  check "the $name demo ends well" 0 "$status"
}
demo linux --headless --build "$linux_build"
demo windows --windows --build "$windows_build"
demo windows-dao --windows --dao-standin --build "$windows_build"
report_checks || exit 1

for run in windows windows-dao; do
  check_demo_run "$work/before.sqlite" "$work/$run" "$work/$run.out"
  check "$run: screenshot saved" yes "$([ -s "$work/$run.png" ] && echo yes || echo no)"
done
# A Jet log is copied before each run that writes: Log Clean's copy and Add's, named by their time.
check "windows-dao: Zorvik took the log as a Jet log, one backup for each writing run" 2 \
  "$(find "$work/windows-dao/DXKeeper/Databases" -maxdepth 1 -type f \
      -name 'demo.mdb.zorvik-backup-[0-9][0-9][0-9][0-9][0-9][0-9][0-9][0-9]-[0-9][0-9][0-9][0-9][0-9][0-9]*' \
      ! -name '*-new' | wc -l)"

# Row for row what the Linux build made of the same log: every field of every row of QSOs and
# PrintQueue, in the order of the rows.
dump() {
  sqlite3 "$work/$1/DXKeeper/Databases/demo.sqlite" ".mode quote" \
    "SELECT rowid, * FROM QSOs ORDER BY rowid" "SELECT rowid, * FROM PrintQueue ORDER BY rowid" \
    > "$work/$1.dump"
}
dump linux
for run in windows windows-dao; do
  dump "$run"
  check "$run: QSOs and PrintQueue row for row as the Linux build left them" \
    "$(wc -l < "$work/linux.dump") rows, 0 lines differing" \
    "$(wc -l < "$work/$run.dump") rows, $(diff "$work/linux.dump" "$work/$run.dump" |
      grep -c '^[<>]') lines differing"

  # What the window showed: the caption DXKeeper's journal noted when each command arrived.
  # While Zorvik waited for DXKeeper to take its log back, the window said DXKeeper was
  # unavailable.
  journal="$work/$run/journal.txt"
  running="caption=Zorvik 1.4.2 - (DXKeeper Running)"
  check "$run: caption when closelog arrived" "$running" \
    "$(journal_field "$journal" 001closelog 4)"
  check "$run: caption when openlastlog arrived" "caption=Zorvik 1.4.2 - (DXKeeper UnAvail)" \
    "$(journal_field "$journal" 001openlastlog 4)"
  check "$run: caption when the window closed" "$running" \
    "$(journal_field "$journal" 001commandcomplete 4)"
  check "$run: caption before and after the steps" \
    "Zorvik 1.4.2 - (DXKeeper Running)/Zorvik 1.4.2 - (DXKeeper Running)" \
    "$(sed -n 's/^caption: //p' "$work/$run/driver.out" | paste -sd/)"
done

# The start-up boxes, in the demo's Wine prefix, where the demo's dxkeeper-sim.exe left
# DXKeeper's settings: with them and no DXKeeper running, then without them. Each box is answered
# with a click on its button; the program then ends with its documented status.
wine_prefix "$source_dir/build-windows/wineprefix-demo" 96
wine_session_start "$work"
start_zorvik() {  # start_zorvik NAME: Zorvik.exe with no steps, its user's lines in NAME.out
  wine64 "$windows_build/tests/e2e/win/zorvik-user.exe" \
    "$(windows_path "$windows_build/src/ui/win/Zorvik.exe")" > "$work/$1.out" 2>&1 || true
}
said() { sed -n "s/^$2: //p" "$work/$1.out" | paste -sd'#'; }
start_zorvik not-running
check "DXKeeper not running: box B alone" "Zorvik - Critical Error! | DXKeeper is not running! / \
DXKeeper must be running for this utility to work. / Zorvik will now Close!" \
  "$(said not-running "message box")"
check "DXKeeper not running: exit status 3, no window" 3 "$(said not-running "exit status")"
wine64 reg delete 'HKCU\Software\VB and VBA Program Settings\DXKeeper' /f > /dev/null 2>&1
start_zorvik not-installed
check "DXKeeper not installed: box A alone" "Zorvik | DXKeeper Installation not found! / DXKeeper \
must be installed for this utility to work." "$(said not-installed "message box")"
check "DXKeeper not installed: exit status 2, no window" 2 "$(said not-installed "exit status")"
wine_session_end

report_checks
