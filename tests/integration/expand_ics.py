#!/usr/bin/python3
# Test peer: reads an iCalendar file with Debian's python3-icalendar and expands each event's
# rule with python3-dateutil, knowing nothing of the planner's own code. Prints one line per
# occurrence that starts in [FROM, TO): "UID START", START as the zone's wall clock.
# usage: expand_ics.py FILE FROM TO   (FROM and TO as YYYY-MM-DDTHH:MM:SS, wall clock)
import sys
from datetime import datetime, timezone
from zoneinfo import ZoneInfo

import icalendar
from dateutil import rrule

FREQS = {"DAILY": rrule.DAILY, "WEEKLY": rrule.WEEKLY}
DAYS = {"SU": rrule.SU, "MO": rrule.MO, "TU": rrule.TU, "WE": rrule.WE, "TH": rrule.TH, "FR": rrule.FR, "SA": rrule.SA}


def wall_clock(value, zone):
    # A time with a zone as that zone's wall clock; a UTC time turned into it.
    if value.tzinfo is None:
        return value
    return value.astimezone(zone).replace(tzinfo=None)


def main():
    path, start, end = sys.argv[1], datetime.fromisoformat(sys.argv[2]), datetime.fromisoformat(sys.argv[3])
    with open(path, "rb") as f:
        cal = icalendar.Calendar.from_ical(f.read())
    for ev in cal.walk("VEVENT"):
        dtstart = ev.get("dtstart")
        tzid = dtstart.params.get("TZID")
        zone = ZoneInfo(tzid) if tzid else timezone.utc
        first = wall_clock(dtstart.dt, zone)
        rule = ev.get("rrule")
        if rule is None:
            starts = [first]
        else:
            kwargs = {"dtstart": first, "interval": int(rule.get("INTERVAL", [1])[0])}
            if "BYDAY" in rule:
                kwargs["byweekday"] = [DAYS[d] for d in rule["BYDAY"]]
            if "UNTIL" in rule:
                kwargs["until"] = wall_clock(rule["UNTIL"][0], zone)
            starts = rrule.rrule(FREQS[rule["FREQ"][0]], **kwargs).between(start, end, inc=True)
        for s in starts:
            if start <= s < end:
                print(ev.get("uid"), s.strftime("%Y-%m-%dT%H:%M:%S"))


if __name__ == "__main__":
    main()
