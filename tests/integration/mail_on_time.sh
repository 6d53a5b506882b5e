#!/usr/bin/env bash
# The real program with a reminder of type "B": the pop-up opens on time and the SMTP server on
# loopback receives the mail; with the server down, the pop-up still opens on time.
# usage (under xvfb-run): mail_on_time.sh PLANNER SEEDPLAN PEER
set -u
planner=$1
seed=$2
peer=$3
here=$(dirname "$0")

one_case() { # $1: up or down
    . "$here/sandbox.sh"
    local state="$work/smtp" port
    mkdir -p "$state"
    if [ "$1" = up ]; then
        /usr/bin/python3 "$peer" "$state" & peer_pid=$!
        for _ in $(seq 1 100); do [ -f "$state/port" ] && break; sleep 0.05; done
        port=$(cat "$state/port")
    else
        peer_pid=""
        port=9 # nothing listens there
    fi
    mkdir -p "$XDG_CONFIG_HOME/Vantrel"
    due=$("$seed" "$work/data" 4 --mail "127.0.0.1:$port" "$XDG_CONFIG_HOME/Vantrel/planner.reg") ||
        { echo "could not write the plan"; return 1; }
    "$planner" --data-dir "$work/data" startup & pid=$!
    local found=""
    for _ in $(seq 1 200); do
        if xwininfo -root -tree 2>/dev/null | grep -q '"Vantrel Notification"'; then found=$(date +%s.%N); break; fi
        sleep 0.05
    done
    local mailed=no
    if [ "$1" = up ]; then
        for _ in $(seq 1 100); do [ -f "$state/1.json" ] && { mailed=yes; break; }; sleep 0.05; done
    fi
    kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null
    [ -n "$peer_pid" ] && kill "$peer_pid" 2>/dev/null
    rm -rf "$work"
    [ -n "$found" ] || { echo "server $1: no reminder window appeared"; return 1; }
    awk -v f="$found" -v d="$due" -v c="$1" 'BEGIN {
        if (f < d || f > d + 4) { print "server " c ": the window opened at " f " for " d; exit 1 }
        print "server " c ": the window opened on time" }' || return 1
    if [ "$1" = up ] && [ "$mailed" != yes ]; then echo "server up: no mail arrived"; return 1; fi
    [ "$1" = up ] && echo "server up: the mail arrived"
    return 0
}

one_case up && one_case down
