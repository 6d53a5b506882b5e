#!/usr/bin/env bash
# The real program on a data folder whose disk is full: it starts, says so, and the dose that
# falls due still opens its reminder window on time. The full disk is a small tmpfs mounted in a
# private namespace, so no privilege is needed where user namespaces are allowed.
# usage (under xvfb-run): disk_full.sh PLANNER SEEDPLAN
set -u
planner=$1
seed=$2
. "$(dirname "$0")/sandbox.sh"

if ! unshare -rm true 2>/dev/null; then
    echo "skipped: this machine allows no private mount namespace (unshare -rm), so no disk can be filled"
    exit 77
fi
due=$("$seed" "$work/data" 6) || { echo "could not write the plan"; exit 1; }
mkdir -p "$work/full"
# Inside the namespace: a 256 KiB disk with the tables on it, filled to the last block.
unshare -rm bash -c '
    mount -t tmpfs -o size=256k tmpfs "$1" || exit 1
    cp -a "$2/." "$1/"
    dd if=/dev/zero of="$1/filler" bs=4k 2>/dev/null
    exec "$3" --data-dir "$1" startup
' fill "$work/full" "$work/data" "$planner" &
pid=$!

found=""
for _ in $(seq 1 300); do
    if xwininfo -root -tree 2>/dev/null | grep -q '"Vantrel Notification"'; then
        found=$(date +%s.%N)
        break
    fi
    kill -0 "$pid" 2>/dev/null || break
    sleep 0.05
done
running=no
kill -0 "$pid" 2>/dev/null && running=yes
kill "$pid" 2>/dev/null
wait "$pid" 2>/dev/null

if [ "$running" != yes ]; then
    echo "the program ended on a full disk"
    exit 1
fi
if [ -z "$found" ]; then
    echo "no reminder window appeared"
    exit 1
fi
echo "due at $due, window at $found"
awk -v f="$found" -v d="$due" 'BEGIN {
    if (f < d) { print "the window opened before the dose was due"; exit 1 }
    if (f > d + 4) { print "the window opened late"; exit 1 }
    print "on time, with the disk full"
}'
