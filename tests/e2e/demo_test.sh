#!/usr/bin/env bash
# The headless demo end to end, then a look at what it left behind: the log (with sqlite3) and the
# substitute DXKeeper's journal of commands (demo_checks.sh).
#
#   demo_test.sh SOURCE_DIR BUILD_DIR
#
# The demo log is generated, so the same options give the same log: a second copy, never touched
# by Zorvik, is the "before" to compare with.
set -euo pipefail
source_dir="$1"
build_dir="$(cd "$2" && pwd)"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

source "$(dirname "$0")/demo_checks.sh"

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

check_demo_run "$work/before.sqlite" "$work/demo" "$work/demo.out"
check "screenshot saved" yes "$([ -s "$work/shot.png" ] && echo yes || echo no)"

report_checks
