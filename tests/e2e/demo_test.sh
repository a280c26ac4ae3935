#!/usr/bin/env bash
# The headless demo end to end, then a look at what it left behind: the log (with sqlite3) and the
# substitute DXKeeper's journal of commands.
#
#   demo_test.sh SOURCE_DIR BUILD_DIR
#
# The demo log is generated, so the same options give the same log: a second copy, never touched
# by Zorvik, is the "before" to compare with. The journal gives, with each command, the queue rows
# the log held (committed) when it arrived: that orders the commands against the Add's writes
# without comparing the clocks of two processes.
set -euo pipefail
source_dir="$1"
build_dir="$(cd "$2" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

failures=0
check() {  # check WHAT EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then
    echo "ok    $1"
  else
    echo "FAIL  $1: expected '$2', got '$3'"
    failures=$((failures + 1))
  fi
}

logtool="$build_dir/tools/zorvik-log/zorvik-log"
"$logtool" generate "$work/before.sqlite" --contacts 3000 --queue 60 --call K1ZRV > /dev/null
cp "$work/before.sqlite" "$work/input.sqlite"

status=0
"$source_dir/scripts/demo" --headless --no-setup --build "$build_dir" --work "$work/demo" \
  --log "$work/input.sqlite" --screenshot "$work/shot.png" > "$work/demo.out" 2>&1 || status=$?
cat "$work/demo.out"
check "the demo ends well" 0 "$status"
[ "$status" -eq 0 ] || exit 1
check "clicked on the X server" xcb "$(sed -n 's/^platform: //p' "$work/demo/driver.out")"

before="$work/before.sqlite"
after="$work/demo/DXKeeper/Databases/demo.sqlite"
q() { sqlite3 "$1" "$2"; }
line() { sed -n "s/^$1 *//p" "$work/demo.out"; }
number() { line "$1" | grep -o '^[0-9]*' | head -n 1; }

# Log Clean: the counts shown are the stray values the log held, and none is left.
stray_rcvd="QSL_Rcvd <> '' AND QSL_Rcvd NOT IN ('R','Y','S','V','I','X')"
stray_sent="QSL_Sent <> '' AND QSL_Sent NOT IN ('R','Y')"
cleaned="$(line "Log Clean:")"
check "QSL_Rcvd values cleaned" "$(q "$before" "SELECT COUNT(*) FROM QSOs WHERE $stray_rcvd")" \
  "$(echo "$cleaned" | sed -n 's/^\([0-9]*\) QSL_Rcvd records were cleaned.*/\1/p')"
check "QSL_Sent values cleaned" "$(q "$before" "SELECT COUNT(*) FROM QSOs WHERE $stray_sent")" \
  "$(echo "$cleaned" | sed -n 's/.* \([0-9]*\) QSL_Sent records were cleaned$/\1/p')"
check "no stray QSL values left" 0 \
  "$(q "$after" "SELECT COUNT(*) FROM QSOs WHERE ($stray_rcvd) OR ($stray_sent)")"

# Add: the billboard's count reached the queue, each queued contact is marked "R", no "~" is left.
loaded="$(number "Add:")"
queue_before="$(q "$before" "SELECT COUNT(*) FROM PrintQueue")"
queue_after="$(q "$after" "SELECT COUNT(*) FROM PrintQueue")"
[ -n "$loaded" ] && [ "$loaded" -gt 0 ] || check "contacts loaded into the queue" "> 0" "$loaded"
check "queue rows added" "$((queue_before + loaded))" "$queue_after"
check "the window's queue count" "$queue_before before, $queue_after after (the window's count)" \
  "$(line "QSL queue:")"
check "R marks added" \
  "$(($(q "$before" "SELECT COUNT(*) FROM QSOs WHERE QSL_Rcvd = 'R'") + loaded))" \
  "$(q "$after" "SELECT COUNT(*) FROM QSOs WHERE QSL_Rcvd = 'R'")"
check "every new queue row's contact is marked R" 0 \
  "$(q "$after" "SELECT COUNT(*) FROM PrintQueue p WHERE p.rowid > $queue_before AND NOT EXISTS
       (SELECT 1 FROM QSOs c WHERE c.Call = p.Call AND c.QSO_Begin = p.QSO_Begin
        AND c.QSL_Rcvd = 'R')")"
check "one queue row per new slot" 0 \
  "$(q "$after" "SELECT COUNT(*) FROM (SELECT 1 FROM PrintQueue WHERE rowid > $queue_before
       GROUP BY dxccid, band, mode HAVING COUNT(*) > 1)")"
check "no ~ left" 0 "$(q "$after" "SELECT COUNT(*) FROM QSOs WHERE QSL_Rcvd = '~'")"
check "contacts kept" "$(q "$before" "SELECT COUNT(*) FROM QSOs")" \
  "$(q "$after" "SELECT COUNT(*) FROM QSOs")"
check "log sound" ok "$(q "$after" "PRAGMA integrity_check")"

# The host link: DXKeeper released its log before Add stored anything and got it back once Add had
# stored everything (the queue rows the log held when each command arrived); closing the window
# said goodbye.
journal="$work/demo/journal.txt"
check "commands, in order" "001closelog 001openlastlog 001commandcomplete" \
  "$(cut -f2 "$journal" | tr '\n' ' ' | sed 's/ $//')"
queue_at() { grep -m1 $'\t'"$1"$'\t' "$journal" | cut -f3; }
check "closelog before Add stored anything" "queue=$queue_before" "$(queue_at 001closelog)"
check "openlastlog after Add stored everything" "queue=$queue_after" "$(queue_at 001openlastlog)"
check "screenshot saved" yes "$([ -s "$work/shot.png" ] && echo yes || echo no)"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; exit 1; }
