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
# The auto-start entry is the last thing start-up writes; from then on the window must stay hidden,
# also after the off-screen show that gets the hidden window ready.
for _ in $(seq 1 200); do [ -f "$XDG_CONFIG_HOME/autostart/vantrel-planner.desktop" ] && break; sleep 0.05; done
for _ in $(seq 1 10); do
  if viewable; then echo "a hidden start showed the window"; exit 1; fi
  sleep 0.05
done

"$planner" --data-dir "$work/data"
rc=$?
[ "$rc" -eq 0 ] || { echo "the second start ended with $rc"; exit 1; }
for _ in $(seq 1 60); do viewable && { echo "the running instance came forward"; exit 0; }; sleep 0.05; done
echo "the running instance did not show its window"
exit 1
