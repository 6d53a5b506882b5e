#!/usr/bin/env bash
# The real program, started hidden under an X server, must open its reminder window when the
# dose falls due: not before, and within a few seconds after. A settings file with a mistyped
# value must not hold the start up: its warning waits until the reminders run. Plans whose times
# no rule can use (an infinite start, one far beyond the year 9999) must not stop the reminders
# of the others, nor keep SIGTERM from ending the program.
# usage (under xvfb-run): popup_on_time.sh PLANNER SEEDPLAN
set -u
planner=$1
seed=$2
here=$(dirname "$0")

one_case() { # $1: clean, mistyped or hostile
    . "$here/sandbox.sh"
    if [ "$1" = mistyped ]; then
        mkdir -p "$XDG_CONFIG_HOME/Vantrel"
        printf '[SOFTWARE\\Vantrel\\Planner]\n"AutoStart"=dword:00000001\n[Software\\Vantrel\\Planner\\Main]\n"Status"=dword:00000000\n"Height"="tall"\n' \
            > "$XDG_CONFIG_HOME/Vantrel/planner.reg"
    fi
    due=$("$seed" "$work/data" 4) || { echo "could not write the plan"; return 1; }
    if [ "$1" = hostile ]; then
        # Written before the good plan in table order would not matter: the scheduler walks all.
        for row in "1e999,'W',246" "1e12,'W',246" "8e11,'W',135" "-1e999,'D',0" "-1e999,'X',3" "-1e999,'W',246"; do
            sqlite3 "$work/data/planlist.DAT" \
                "INSERT INTO planlist (PATIENTREF, APPTTYPE, DRREF, MEDREF, STARTTIME, REPTYPE, REPDAYS, NOTIFREF)
                 VALUES (1, 'M', -1, 1, ${row%%,*}, $(echo "$row" | cut -d, -f2-), 1)" || return 1
        done
    fi
    # The trace of what it did, asked for as the README says.
    QT_LOGGING_RULES="vantrel.*=true" "$planner" --data-dir "$work/data" startup 2> "$work/trace" &
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
    for _ in $(seq 1 100); do kill -0 "$pid" 2>/dev/null || break; sleep 0.05; done
    if kill -0 "$pid" 2>/dev/null; then
        echo "$1: SIGTERM did not end the program"
        kill -9 "$pid"
        return 1
    fi
    wait "$pid" 2>/dev/null

    if [ -z "$found" ]; then
        echo "$1: no reminder window appeared"
        return 1
    fi
    echo "$1: due at $due, window at $found"
    if ! grep -q "raised APPTID 1 due .* s late" "$work/trace"; then
        echo "$1: no trace line of the reminder raised:"; cat "$work/trace"; return 1
    fi
    grep -q "vantrel.startup.*first reminder tick" "$work/trace" || { echo "$1: no start-up trace"; return 1; }
    grep "raised APPTID" "$work/trace"
    awk -v f="$found" -v d="$due" 'BEGIN {
        if (f < d) { print "the window opened before the dose was due"; exit 1 }
        if (f > d + 4) { print "the window opened late"; exit 1 }
        print "on time"
    }'
}

( one_case clean ) && ( one_case mistyped ) && ( one_case hostile )
