#!/usr/bin/env bash
# A person answers a dose's reminder window from the keyboard: Alt+T on the real program's window,
# under an X server, and the dose log holds the dose as taken; the window is gone.
# usage (under xvfb-run): answer_by_key.sh PLANNER SEEDPLAN
set -u
planner=$1
seed=$2
command -v xdotool >/dev/null || { echo "skipped: xdotool is not installed (scripts/install-deps.sh installs it)"; exit 77; }
. "$(dirname "$0")/sandbox.sh"
"$seed" "$work/data" 3 >/dev/null || { echo "could not write the plan"; exit 1; }
"$planner" --data-dir "$work/data" startup 2> "$work/trace" &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null; rm -rf "$work"' EXIT

window=""
for _ in $(seq 1 200); do
    window=$(xdotool search --name '^Vantrel Notification$' 2>/dev/null | head -1)
    [ -n "$window" ] && break
    sleep 0.05
done
[ -n "$window" ] || { echo "no reminder window appeared"; cat "$work/trace"; exit 1; }
# The key goes to the window that has the focus; on a busy machine the window may take a moment
# to take it, so the press is tried again while the dose is not yet marked.
state=""
for _ in 1 2 3 4 5; do
    xdotool windowfocus --sync "$window" 2>/dev/null
    sleep 0.3
    xdotool key --clearmodifiers alt+t
    for _ in $(seq 1 40); do
        state=$(sqlite3 "$work/data/doselog.DAT" "SELECT STATE FROM doselog WHERE APPTID = 1" 2>/dev/null)
        [ "$state" = T ] && break 2
        sleep 0.05
    done
done
[ "$state" = T ] || { echo "the dose log says '$state', not T"; exit 1; }
for _ in $(seq 1 40); do
    xdotool search --onlyvisible --name '^Vantrel Notification$' >/dev/null 2>&1 || break
    sleep 0.05
done
if xdotool search --onlyvisible --name '^Vantrel Notification$' >/dev/null 2>&1; then
    echo "the reminder window stayed open"; exit 1
fi
echo "Alt+T marked the dose taken"
