#!/usr/bin/env bash
# Started hidden, the program shows no window; starting it again brings its window up, and the
# second process ends at once with exit code 0.
# usage (under xvfb-run): handover.sh PLANNER
set -u
planner=$1
. "$(dirname "$0")/sandbox.sh"
trap 'kill "$pid" 2>/dev/null; rm -rf "$work"' EXIT

"$planner" --data-dir "$work/data" startup &
pid=$!
viewable() { xwininfo -name "Vantrel Planner" 2>/dev/null | grep -q 'Map State: IsViewable'; }
for _ in $(seq 1 100); do [ -f "$work/data/drplanner.DAT" ] && break; sleep 0.05; done
sleep 0.5
if viewable; then echo "a hidden start showed the window"; exit 1; fi

"$planner" --data-dir "$work/data"
rc=$?
[ "$rc" -eq 0 ] || { echo "the second start ended with $rc"; exit 1; }
for _ in $(seq 1 60); do viewable && { echo "the running instance came forward"; exit 0; }; sleep 0.05; done
echo "the running instance did not show its window"
exit 1
