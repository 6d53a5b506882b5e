#!/usr/bin/env bash
# A person ends the program, lets a dose fall due, and starts it again: the real program opens its
# "Missed Reminders" window listing that dose, and raises no reminder window of its own for it.
# usage (under xvfb-run): missed_at_start.sh PLANNER SEEDPLAN
set -u
planner=$1
seed=$2
. "$(dirname "$0")/sandbox.sh"
due=$("$seed" "$work/data" 1) || { echo "could not write the plan"; exit 1; }
while [ "$(date +%s)" -le "$due" ]; do sleep 0.2; done
QT_LOGGING_RULES="vantrel.*=true" "$planner" --data-dir "$work/data" startup 2> "$work/trace" &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$work"' EXIT

found=""
for _ in $(seq 1 200); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Missed Reminders"'; then found=yes; break; fi
    sleep 0.05
done
[ -n "$found" ] || { echo "no window \"Missed Reminders\" appeared"; cat "$work/trace"; exit 1; }
grep -q "missed APPTID 1 due" "$work/trace" || { echo "the trace names no missed dose:"; cat "$work/trace"; exit 1; }
if xwininfo -root -tree 2>/dev/null | grep -q '"Vantrel Notification"'; then
    echo "the missed dose was raised as a reminder window too"; exit 1
fi
state=$(sqlite3 "$work/data/doselog.DAT" "SELECT STATE FROM doselog WHERE APPTID = 1")
[ "$state" = M ] || { echo "the dose log says '$state', not M"; exit 1; }
echo "the missed dose was listed at the start"
