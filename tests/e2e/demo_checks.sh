# The checks of a finished headless demo, for the Linux demo's test (demo_test.sh) and the Windows
# one (windows_demo_test.sh): the log afterwards against the log before (with sqlite3), the lines
# the demo printed, and the substitute DXKeeper's journal. Sourced; failures are counted.
#
#   check WHAT EXPECTED ACTUAL
#   check_demo_run BEFORE.sqlite DEMO_WORK DEMO_OUTPUT   DEMO_WORK: the demo's --work folder
#   report_checks                                        exit status 0 when every check passed
#
# The journal gives, with each command, the queue rows the log held (committed) when it arrived:
# that orders the commands against the Add's writes without comparing the clocks of two processes.

failures=0
check() {  # check WHAT EXPECTED ACTUAL
  if [ "$2" == "$3" ]; then
    echo "ok    $1"
  else
    echo "FAIL  $1: expected '$2', got '$3'"
    failures=$((failures + 1))
  fi
}

report_checks() {
  [ "$failures" -eq 0 ] || { echo "$failures check(s) failed"; return 1; }
}

# The journal line of the first COMMAND, and one of its tab-separated fields.
journal_field() {  # journal_field JOURNAL COMMAND FIELD
  grep -m1 $'\t'"$2"$'\t' "$1" | cut -f"$3"
}

check_demo_run() {
  local before=$1 after=$2/DXKeeper/Databases/demo.sqlite journal=$2/journal.txt output=$3
  q() { sqlite3 "$1" "$2"; }
  line() { sed -n "s/^$1 *//p" "$output"; }
  number() { line "$1" | grep -o '^[0-9]*' | head -n 1; }

  # Log Clean: the counts shown are the stray values the log held, and none is left.
  local stray_rcvd="QSL_Rcvd <> '' AND QSL_Rcvd NOT IN ('R','Y','S','V','I','X')"
  local stray_sent="QSL_Sent <> '' AND QSL_Sent NOT IN ('R','Y')"
  local cleaned
  cleaned="$(line "Log Clean:")"
  check "QSL_Rcvd values cleaned" "$(q "$before" "SELECT COUNT(*) FROM QSOs WHERE $stray_rcvd")" \
    "$(echo "$cleaned" | sed -n 's/^\([0-9]*\) QSL_Rcvd records were cleaned.*/\1/p')"
  check "QSL_Sent values cleaned" "$(q "$before" "SELECT COUNT(*) FROM QSOs WHERE $stray_sent")" \
    "$(echo "$cleaned" | sed -n 's/.* \([0-9]*\) QSL_Sent records were cleaned$/\1/p')"
  check "no stray QSL values left" 0 \
    "$(q "$after" "SELECT COUNT(*) FROM QSOs WHERE ($stray_rcvd) OR ($stray_sent)")"

  # Add: the billboard's count reached the queue, each queued contact is marked "R", no "~" is
  # left.
  local loaded queue_before queue_after
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

  # The host link: DXKeeper released its log before Add stored anything and got it back once Add
  # had stored everything (the queue rows the log held when each command arrived); closing the
  # window said goodbye.
  check "commands, in order" "001closelog 001openlastlog 001commandcomplete" \
    "$(cut -f2 "$journal" | tr '\n' ' ' | sed 's/ $//')"
  check "closelog before Add stored anything" "queue=$queue_before" \
    "$(journal_field "$journal" 001closelog 3)"
  check "openlastlog after Add stored everything" "queue=$queue_after" \
    "$(journal_field "$journal" 001openlastlog 3)"
}
