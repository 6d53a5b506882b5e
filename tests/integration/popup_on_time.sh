#!/usr/bin/env bash
# The real program, started hidden under an X server, must open its reminder window when the
# dose falls due: not before, and within a few seconds after.
# usage (under xvfb-run): popup_on_time.sh PLANNER SEEDPLAN
set -u
planner=$1
seed=$2
. "$(dirname "$0")/sandbox.sh"

due=$("$seed" "$work/data" 4) || { echo "could not write the plan"; exit 1; }
"$planner" --data-dir "$work/data" startup &
pid=$!

found=""
for _ in $(seq 1 200); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Vantrel Notification"'; then
        found=$(date +%s.%N)
        break
    fi
    sleep 0.05
done
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null

if [ -z "$found" ]; then
    echo "no reminder window appeared"
    exit 1
fi
echo "due at $due, window at $found"
awk -v f="$found" -v d="$due" 'BEGIN {
    if (f < d) { print "the window opened before the dose was due"; exit 1 }
    if (f > d + 4) { print "the window opened late"; exit 1 }
    print "on time"
}'
